#include "ui/admin/jobs.h"

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
        } catch (...) {
            apply = [dialogs, error = RunError::current()] { reportError(*dialogs, error); };
        }
        QMetaObject::invokeMethod(
            this,
            [this, target, dialogs, apply] {
                if (--m_running == 0)
                    emit busyChanged(false);
                if (!target || !apply)
                    return;
                try {
                    apply(); // showing an answer reads its values, which may fail too
                } catch (...) {
                    reportError(*dialogs, RunError::current());
                }
            },
            Qt::QueuedConnection);
    };
    (void)QtConcurrent::run(&m_pool, std::move(job));
}

} // namespace pelmar
