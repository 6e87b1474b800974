#include "ui/admin/alertstab.h"

#include "admin/records.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "ui/admin/formdialog.h"
#include "ui/admin/jobs.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pelmar {

AlertsTab::AlertsTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : AdminTab(jobs, dialogs, clock, parent)
{
    const double today = dates::datePart(clock.now());
    m_from = dateEditor(today - 30, this);
    m_from->setObjectName(QStringLiteral("alertsFrom"));
    m_from->setAccessibleName(tr("From"));
    m_to = dateEditor(today, this);
    m_to->setObjectName(QStringLiteral("alertsTo"));
    m_to->setAccessibleName(tr("To"));
    m_grid = grid("alertsGrid",
                  {tr("Alert"), tr("Made"), tr("Employee"), tr("Shift date"), tr("State"), tr("Tries"),
                   tr("Sent"), tr("Reason")},
                  tr("Alerts"), 2);
    QPushButton* resend = button(tr("Send &again"), "resendAlert");
    // The button sits at the end of the top row: Tab reaches it before the grid.
    setTabOrder(m_to, resend);
    setTabOrder(resend, m_grid);

    auto* top = new QHBoxLayout;
    top->addWidget(captionFor(tr("From"), m_from));
    top->addWidget(m_from);
    top->addWidget(captionFor(tr("To"), m_to));
    top->addWidget(m_to);
    top->addStretch();
    top->addWidget(resend);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid);

    connect(m_from, &QDateEdit::dateChanged, this, &AlertsTab::refresh);
    connect(m_to, &QDateEdit::dateChanged, this, &AlertsTab::refresh);
    connect(resend, &QPushButton::clicked, this, &AlertsTab::resendPicked);
}

void AlertsTab::refresh()
{
    const double from = serialOf(m_from->date());
    const double to = serialOf(m_to->date());
    m_jobs.read(this, [this, from, to](Database& db) -> Jobs::Apply {
        const std::vector<outbox::Row> alerts = admin::alerts(db, from, to);
        return [this, alerts] {
            std::vector<GridRow> rows;
            for (const outbox::Row& a : alerts) {
                const Value sent = a.sentAt.isNull() ? a.sentAt : Value::date(a.sentAt.toDouble());
                rows.push_back(
                    {a.id,
                     {QString::number(a.id), Value::date(a.created).toText(), a.fullName, text(a.shiftDate),
                      a.state, QString::number(a.tries), text(sent), a.lastError},
                     {QVariant(a.id),
                      QVariant(a.created),
                      {},
                      order(a.shiftDate),
                      {},
                      QVariant(a.tries),
                      order(a.sentAt),
                      {}}});
            }
            fill(m_grid, rows);
        };
    });
}

void AlertsTab::resendPicked()
{
    const std::optional<qint64> id = pickedKey(m_grid);
    if (!id)
        return;
    if (write([&](Database& db) { outbox::resend(db, *id, m_clock.now()); })) {
        emit changed(tr("Alert %1 will be sent again by the next terminal that tries.").arg(*id));
        refresh();
    }
}

} // namespace pelmar
