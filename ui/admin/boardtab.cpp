#include "ui/admin/boardtab.h"

#include "admin/reports.h"
#include "platform/clock.h"
#include "ui/admin/jobs.h"

#include <QHBoxLayout>
#include <QLabel>
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
    m_summary->setAccessibleName(tr("Who is in"));
    QPushButton* refreshButton = button(tr("&Refresh"), "refreshBoard");
    m_grid =
        grid("boardGrid", {tr("ID"), tr("Name"), tr("Status"), tr("Since"), tr("Workstation")}, tr("Board"));
    auto* top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(refreshButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("boardTimer"));
    m_timer->setInterval(30 * 1000);
    connect(m_timer, &QTimer::timeout, this, &BoardTab::refresh);
    connect(refreshButton, &QPushButton::clicked, this, &BoardTab::refresh);
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
    m_summary->setText(board.summary());
    std::vector<QStringList> rows;
    for (const admin::BoardRow& r : board.rows)
        rows.push_back({QString::number(r.id), r.name, r.status, text(r.since), r.workstation});
    fill(m_grid, rows);
}

} // namespace pelmar
