#include "ui/admin/boardtab.h"

#include "admin/reports.h"
#include "platform/clock.h"
#include "ui/admin/jobs.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace pelmar {

BoardTab::BoardTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : AdminTab(jobs, dialogs, clock, parent)
{
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("boardSummary"));
    // No accessible name: a screen reader reads the counts themselves.
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("boardFilter"));
    m_filter->setAccessibleName(tr("Find a name"));
    m_filter->setPlaceholderText(tr("Find a name"));
    m_filter->setClearButtonEnabled(true);
    QPushButton* refreshButton = button(tr("&Refresh"), "refreshBoard");
    m_grid =
        grid("boardGrid", {tr("ID"), tr("Name"), tr("Status"), tr("Since"), tr("Workstation"), tr("Check")},
             tr("Board"), 1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(m_filter);
    top->addWidget(refreshButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("boardTimer"));
    m_timer->setInterval(30 * 1000);
    connect(m_timer, &QTimer::timeout, this, &BoardTab::refresh);
    connect(refreshButton, &QPushButton::clicked, this, &BoardTab::refresh);
    connect(m_filter, &QLineEdit::textChanged, this, &BoardTab::applyFilter);
    m_timer->start();
}

void BoardTab::refresh()
{
    const double now = m_clock.now();
    m_jobs.read(this, [this, now](Database& db) -> Jobs::Apply {
        admin::Board board = admin::board(db, now);
        return [this, board] { show(board); };
    });
}

void BoardTab::show(const admin::Board& board)
{
    const admin::Board::Counts counts = board.counts();
    m_summary->setText(
        tr("%1 in, %2 out, %3 away")
            .arg(QString::number(counts.in), QString::number(counts.out), QString::number(counts.away)));
    std::vector<GridRow> rows;
    for (const admin::BoardRow& r : board.rows) {
        const QString check = r.overdueHours ? overdueText(*r.overdueHours) : QString();
        rows.push_back({r.id,
                        {QString::number(r.id), r.name,
                         QCoreApplication::translate("pelmar::board", admin::statusWord(r.status)),
                         text(r.since), r.workstation, check},
                        {QVariant(static_cast<double>(r.id)), QVariant(), QVariant(), order(r.since)}});
    }
    fill(m_grid, rows);
    applyFilter();
}

void BoardTab::applyFilter()
{
    const QString wanted = m_filter->text().trimmed();
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        const QTableWidgetItem* name = m_grid->item(r, 1);
        m_grid->setRowHidden(r, name && !name->text().contains(wanted, Qt::CaseInsensitive));
    }
}

} // namespace pelmar
