#include "ui/admin/admintab.h"

#include "admin/refusal.h"
#include "admin/staff.h"
#include "platform/dialogs.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "ui/admin/grids.h"
#include "ui/admin/jobs.h"
#include "ui/reporterror.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>

namespace pelmar {

AdminTab::AdminTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : QWidget(parent), m_jobs(jobs), m_dialogs(dialogs), m_clock(clock)
{
}

QPushButton* AdminTab::button(const QString& text, const char* objectName)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setAccessibleName(QString(text).remove(QStringLiteral("…")).remove(QLatin1Char('&')));
    return b;
}

QTableWidget* AdminTab::grid(const char* objectName, const QStringList& headers,
                             const QString& accessibleName)
{
    return grids::create(this, objectName, headers, accessibleName);
}

void AdminTab::fill(QTableWidget* grid, const std::vector<QStringList>& rows)
{
    std::vector<GridRow> keyed;
    for (const QStringList& texts : rows)
        keyed.push_back({0, texts, {}});
    grids::fill(grid, keyed);
}

QString AdminTab::overdueText(double hours)
{
    return tr("⚠ open %1 h").arg(QString::number(hours, 'f', 1));
}

void AdminTab::fillEmployees(QComboBox* box, const std::vector<admin::Employee>& staff, bool all)
{
    const qint64 picked = pickedEmployee(box);
    box->clear();
    if (all)
        box->addItem(tr("All employees"), QVariant::fromValue<qint64>(0));
    for (const admin::Employee& e : staff) {
        const QString former =
            e.terminated.isNull() ? QString() : tr(" (left %1)").arg(e.terminated.toText());
        box->addItem(e.name + former, QVariant::fromValue<qint64>(e.id));
    }
    const int at = box->findData(QVariant::fromValue<qint64>(picked));
    box->setCurrentIndex(at >= 0 ? at : 0);
}

qint64 AdminTab::pickedEmployee(const QComboBox* box)
{
    return box->currentIndex() < 0 ? 0 : box->currentData().value<qint64>();
}

bool AdminTab::write(const std::function<void(Database&)>& change)
{
    try {
        change(*m_jobs.open());
        return true;
    } catch (const admin::Refusal& refusal) {
        m_dialogs.messageBox(refusal.message);
    } catch (const RunError& error) {
        reportError(m_dialogs, error);
    }
    return false;
}

bool AdminTab::saveFile(const QString& title, const QString& filter, const QString& name,
                        const QByteArray& bytes)
{
    const std::optional<QString> path = m_dialogs.saveFileName(title, filter, QDir::home().filePath(name));
    if (!path)
        return false;
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_dialogs.messageBox(
            tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(*path), file.errorString()));
        return false;
    }
    return true;
}

} // namespace pelmar
