#include "ui/admin/payrolltab.h"

#include "admin/input.h"
#include "admin/payrollpdf.h"
#include "admin/periods.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "ui/admin/formdialog.h"
#include "ui/admin/jobs.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

namespace pelmar {

PayrollTab::PayrollTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : AdminTab(jobs, dialogs, clock, parent)
{
    // The range row first, then what it shows: Tab follows the order the
    // controls are made in, so it reads the row before the grid below it.
    QLayout* range = createRangeRow();
    m_grid = grid("payrollGrid",
                  {tr("ID"), tr("Name"), tr("Hours"), tr("Days worked"), tr("Vacation"), tr("Holiday"),
                   tr("Sick leave"), tr("Other"), tr("Open shifts")},
                  tr("Payroll"), 1);
    m_chart = new QChartView(this);
    m_chart->setObjectName(QStringLiteral("payrollChart"));
    m_chart->setAccessibleName(tr("Hours per employee"));
    // A picture of the grid's hours, with nothing to operate: Tab passes it by.
    m_chart->setFocusPolicy(Qt::NoFocus);
    m_chart->viewport()->setFocusPolicy(Qt::NoFocus);
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(220);
    m_other = new QLabel(this);
    m_other->setObjectName(QStringLiteral("payrollOther"));
    m_other->setWordWrap(true);
    m_other->hide();

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_grid);
    split->addWidget(m_chart);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(m_other);
    layout->addWidget(split);
}

QLayout* PayrollTab::createRangeRow()
{
    const admin::DaySpan month = admin::periodSpan(admin::Period::ThisMonth, m_clock.now());
    m_from = dateEditor(month.from, this);
    m_from->setObjectName(QStringLiteral("payrollFrom"));
    m_from->setAccessibleName(tr("From"));
    m_to = dateEditor(month.to, this);
    m_to->setObjectName(QStringLiteral("payrollTo"));
    m_to->setAccessibleName(tr("To"));
    m_period = periodPicker("payrollPeriod", m_from, m_to, [this] { refresh(); });
    QPushButton* csv = button(tr("Export &CSV…"), "exportPayroll");
    QPushButton* pdf = button(tr("Save &PDF…"), "savePayrollPdf");
    // The period is reached just before the dates it sets. Only the row's
    // own controls move: a grid moved in the chain would leave its viewport
    // behind, and Tab would still reach the grid through it first.
    setTabOrder(m_period, m_from);
    setTabOrder(m_from, m_to);

    auto* top = new QHBoxLayout;
    top->addWidget(m_period);
    top->addWidget(captionFor(tr("From"), m_from));
    top->addWidget(m_from);
    top->addWidget(captionFor(tr("To"), m_to));
    top->addWidget(m_to);
    top->addStretch();
    top->addWidget(csv);
    top->addWidget(pdf);

    connect(m_from, &QDateEdit::dateChanged, this, &PayrollTab::refresh);
    connect(m_to, &QDateEdit::dateChanged, this, &PayrollTab::refresh);
    connect(csv, &QPushButton::clicked, this, &PayrollTab::exportCsv);
    connect(pdf, &QPushButton::clicked, this, &PayrollTab::savePdf);
    return top;
}

void PayrollTab::refresh()
{
    const double from = serialOf(m_from->date());
    const double to = serialOf(m_to->date());
    m_jobs.read(this, [this, from, to](Database& db) -> Jobs::Apply {
        admin::Payroll payroll = admin::payroll(db, from, to);
        return [this, from, to, payroll] { show(from, to, payroll); };
    });
}

void PayrollTab::show(double from, double to, const admin::Payroll& payroll)
{
    m_shownFrom = from;
    m_shownTo = to;
    m_payroll = payroll;
    std::vector<QStringList> texts;
    for (const admin::PayrollRow& r : payroll.rows)
        texts.push_back({QString::number(r.id), r.name, QString::number(r.hours, 'f', 2),
                         QString::number(r.daysWorked), QString::number(r.vacation),
                         QString::number(r.holiday), QString::number(r.sickLeave), QString::number(r.other),
                         QString::number(r.openShifts)});
    fill(m_grid, texts);
    QStringList other;
    for (const auto& [type, n] : payroll.otherTypes)
        other << tr("%1: %2").arg(type.isEmpty() ? tr("(no type)") : type, QString::number(n));
    m_other->setText(tr("Other, records of a type the clock does not know: %1").arg(other.join(tr(", "))));
    m_other->setVisible(!other.isEmpty());
    showChart();
}

void PayrollTab::showChart()
{
    // Two sets stacked: each employee's bar is in one of them, so those with
    // open shifts stand out in their own colour and in the legend.
    auto* closed = new QBarSet(tr("Hours"));
    auto* open = new QBarSet(tr("Hours, with open shifts to correct"));
    QStringList names;
    double most = 0;
    for (const admin::PayrollRow& r : m_payroll.rows) {
        names << (r.openShifts > 0 ? tr("%1 (%2 open)").arg(r.name, QString::number(r.openShifts)) : r.name);
        *closed << (r.openShifts > 0 ? 0 : r.hours);
        *open << (r.openShifts > 0 ? r.hours : 0);
        most = std::max(most, r.hours);
    }
    closed->setColor(QColor(0x3b, 0x6e, 0xa8));
    open->setColor(QColor(0xd9, 0x82, 0x2b));
    auto* series = new QStackedBarSeries;
    series->append(closed);
    series->append(open);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(tr("Hours, %1").arg(rangeText()));
    auto* nameAxis = new QBarCategoryAxis;
    nameAxis->append(names);
    chart->addAxis(nameAxis, Qt::AlignBottom);
    series->attachAxis(nameAxis);
    auto* hours = new QValueAxis;
    hours->setRange(0, std::max(1.0, most * 1.1));
    hours->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(hours, Qt::AlignLeft);
    series->attachAxis(hours);
    chart->legend()->setAlignment(Qt::AlignBottom);
    QChart* old = m_chart->chart();
    m_chart->setChart(chart);
    delete old;
}

QString PayrollTab::rangeText() const
{
    return tr("%1 to %2").arg(dates::shortDate(m_shownFrom), dates::shortDate(m_shownTo));
}

bool PayrollTab::confirmOpenShifts()
{
    const int open = m_payroll.openShifts();
    return open == 0 || m_dialogs.confirmBox(
                            tr("%n shift(s) from %1 are still open: their hours are not counted. Save the "
                               "payroll anyway?",
                               nullptr, open)
                                .arg(rangeText()));
}

QString PayrollTab::fileName(const QString& suffix) const
{
    return admin::datedFileName(QStringLiteral("payroll"), m_shownFrom, m_shownTo, suffix);
}

void PayrollTab::exportCsv()
{
    if (m_shownTo == 0 || !confirmOpenShifts())
        return;
    saveFile(tr("Export the payroll"), tr("CSV files|*.csv"), fileName(QStringLiteral("csv")),
             admin::payrollCsv(m_payroll).toUtf8());
}

void PayrollTab::savePdf()
{
    if (m_shownTo == 0 || !confirmOpenShifts())
        return;
    // Thousands of rows take a while to lay out: the shown payroll is laid
    // out off the window's thread, without reading it again.
    m_jobs.compute(this,
                   [this, payroll = m_payroll, range = rangeText(), name = fileName(QStringLiteral("pdf"))] {
                       const QByteArray bytes = admin::payrollPdf(payroll, range, admin::defaultPaper());
                       return [this, bytes, name] {
                           saveFile(tr("Save the payroll as PDF"), tr("PDF files|*.pdf"), name, bytes);
                       };
                   });
}

} // namespace pelmar
