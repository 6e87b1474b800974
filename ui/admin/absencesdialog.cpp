#include "ui/admin/absencesdialog.h"

#include "admin/absences.h"
#include "admin/input.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "ui/admin/formdialog.h"
#include "ui/admin/grids.h"
#include "ui/reporterror.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pelmar {

namespace {

QPushButton* namedButton(const QString& text, const char* objectName, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setAccessibleName(QString(text).remove(QStringLiteral("…")).remove(QLatin1Char('&')));
    return b;
}

} // namespace

AbsencesDialog::AbsencesDialog(admin::Employee employee, Open open, const Clock& clock, QWidget* parent)
    : QDialog(parent), m_employee(std::move(employee)), m_open(std::move(open)), m_clock(clock)
{
    setObjectName(QStringLiteral("absences"));
    setWindowTitle(tr("Absences of %1").arg(m_employee.name));
    const double today = dates::datePart(clock.now());
    // A season either way: last month's sick days and next month's vacation.
    m_from = dateEditor(today - 31, this);
    m_from->setObjectName(QStringLiteral("absencesFrom"));
    m_from->setAccessibleName(tr("From"));
    m_to = dateEditor(today + 92, this);
    m_to->setObjectName(QStringLiteral("absencesTo"));
    m_to->setAccessibleName(tr("To"));
    m_grid = grids::create(this, "absenceGrid", {tr("TimeID"), tr("Date"), tr("Type")}, tr("Absences"), 1);
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusal"));
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #b00020"));
    // No accessible name: a screen reader reads the refusal's own words.
    QPushButton* add = namedButton(tr("&Add…"), "addAbsences", this);
    QPushButton* remove = namedButton(tr("&Remove"), "removeAbsence", this);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("close"));

    auto* range = new QHBoxLayout;
    range->addWidget(captionFor(tr("From"), m_from));
    range->addWidget(m_from);
    range->addWidget(captionFor(tr("To"), m_to));
    range->addWidget(m_to);
    range->addStretch();
    auto* actions = new QHBoxLayout;
    actions->addWidget(add);
    actions->addWidget(remove);
    actions->addStretch();
    actions->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(m_grid);
    layout->addWidget(m_refusal);
    layout->addLayout(actions);

    connect(m_from, &QDateEdit::dateChanged, this, &AbsencesDialog::load);
    connect(m_to, &QDateEdit::dateChanged, this, &AbsencesDialog::load);
    connect(add, &QPushButton::clicked, this, &AbsencesDialog::addAbsences);
    connect(remove, &QPushButton::clicked, this, &AbsencesDialog::removeAbsence);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(480, 360);
    load();
}

bool AbsencesDialog::attempt(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (...) {
        m_refusal->setText(errorMessage(RunError::current()));
    }
    return false;
}

void AbsencesDialog::load()
{
    const double from = serialOf(m_from->date());
    const double to = serialOf(m_to->date());
    std::vector<TimeRecord> found;
    m_refusal->clear();
    // One employee's absences are few: read here, on the connection the
    // writes use, so the list is current when the dialog acts on it.
    attempt([&] { found = admin::absences(*m_open(), m_employee.id, from, to); });
    std::vector<grids::Row> rows;
    for (const TimeRecord& a : found)
        rows.push_back({a.id,
                        {QString::number(a.id), a.tdate.toTextOrEmpty(), shownType(a.type)},
                        {QVariant(static_cast<double>(a.id)), grids::order(a.tdate)}});
    grids::fill(m_grid, rows);
}

void AbsencesDialog::addAbsences()
{
    const double today = dates::datePart(m_clock.now());
    FormDialog dialog(tr("Absences of %1").arg(m_employee.name), this);
    auto* type = dialog.add(tr("&Type"), "absenceType", new QComboBox);
    for (const RecordType t : admin::absenceTypes())
        type->addItem(shownType(t), static_cast<int>(t));
    auto* span = dialog.add(tr("&On"), "absenceSpan", new QComboBox);
    span->addItems({tr("one date"), tr("every Monday to Friday of a range")});
    auto* from = dialog.add(tr("&From"), "absenceFrom", dateEditor(today));
    auto* to = dialog.add(tr("T&o"), "absenceTo", dateEditor(today));
    to->setEnabled(false);
    connect(span, &QComboBox::currentIndexChanged, to, [to](int index) { to->setEnabled(index == 1); });
    std::vector<double> days;
    dialog.setAction([&] {
        const double first = serialOf(from->date());
        days = {first};
        if (span->currentIndex() == 1) {
            const double last = serialOf(to->date());
            days = admin::weekdays(first, last);
        }
        admin::addAbsences(*m_open(), m_employee.id, days,
                           static_cast<RecordType>(type->currentData().toInt()));
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString kind = type->currentText();
    emit changed(days.size() == 1
                     ? tr("%1 added for %2 on %3").arg(kind, m_employee.name, dates::shortDate(days.front()))
                     : tr("%1 added for %2 on %n day(s)", nullptr, static_cast<int>(days.size()))
                           .arg(kind, m_employee.name));
    load();
}

void AbsencesDialog::removeAbsence()
{
    const std::optional<qint64> id = grids::pickedKey(m_grid);
    if (!id) {
        m_refusal->setText(tr("Pick an absence in the list first."));
        return;
    }
    TimeRecord removed;
    if (!attempt([&] { removed = admin::removeAbsence(*m_open(), *id, m_clock.now()); }))
        return;
    emit changed(tr("%1 of %2 on %3 removed (record %4)")
                     .arg(shownType(removed.type), m_employee.name, removed.tdate.toTextOrEmpty(),
                          QString::number(removed.id)));
    load();
}

} // namespace pelmar
