#include "ui/admin/jobs.h"

#include "admin/refusal.h"
#include "platform/dialogs.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "ui/reporterror.h"

#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace pelmar {

Jobs::Jobs(Dialogs& dialogs, QString location, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_location(std::move(location))
{
}

Jobs::~Jobs()
{
    m_pool.waitForDone();
}

std::unique_ptr<Database> Jobs::open() const
{
    return std::make_unique<Database>(sql::Session::openPrivate(m_location));
}

void Jobs::read(QObject* context, std::function<Apply(Database&)> work)
{
    start(context, [work = std::move(work), location = m_location] {
        Database db(sql::Session::openPrivate(location));
        return work(db);
    });
}

void Jobs::compute(QObject* context, std::function<Apply()> work)
{
    start(context, std::move(work));
}

void Jobs::start(QObject* context, std::function<Apply()> work)
{
    if (++m_running == 1)
        emit busyChanged(true);
    QPointer<QObject> target(context);
    Dialogs* dialogs = &m_dialogs;
    auto job = [this, target, dialogs, work = std::move(work)] {
        Apply apply;
        try {
            apply = work();
        } catch (const admin::Refusal& refusal) {
            apply = [dialogs, message = refusal.message] { dialogs->messageBox(message); };
        } catch (const RunError& error) {
            apply = [dialogs, error] { reportError(*dialogs, error); };
        } catch (const std::exception& error) {
            apply = [dialogs, text = QString::fromLocal8Bit(error.what())] {
                reportError(*dialogs, RunError(err::EngineFailure, text));
            };
        }
        QMetaObject::invokeMethod(
            this,
            [this, target, apply] {
                if (--m_running == 0)
                    emit busyChanged(false);
                if (target && apply)
                    apply();
            },
            Qt::QueuedConnection);
    };
    (void)QtConcurrent::run(&m_pool, std::move(job));
}

} // namespace pelmar
