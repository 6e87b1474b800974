#include "ui/admin/formdialog.h"

#include "platform/datetime.h"
#include "platform/runerror.h"
#include "ui/reporterror.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace pelmar {

namespace {

// Typing after a click would otherwise go in beside the section's digits,
// which a full section refuses, and change nothing.
class SectionOnClick : public QObject
{
public:
    explicit SectionOnClick(QTimeEdit* edit) : QObject(edit), m_edit(edit) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonRelease)
            return false;
        // The line edit places the cursor first; the section under it is
        // then the one to select.
        watched->event(event);
        m_edit->setSelectedSection(m_edit->currentSection());
        return true;
    }

private:
    QTimeEdit* m_edit;
};

} // namespace

FormDialog::FormDialog(const QString& title, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(title);
    setObjectName(QStringLiteral("form"));
    auto* layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    layout->addLayout(m_form);
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusal"));
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #b00020"));
    // No accessible name: a screen reader reads the refusal's own words.
    layout->addWidget(m_refusal);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &FormDialog::submit);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void FormDialog::addField(const QString& label, const char* objectName, QWidget* field)
{
    field->setObjectName(QString::fromLatin1(objectName));
    field->setAccessibleName(QString(label).remove(QLatin1Char('&')));
    m_form->addRow(label, field);
}

void FormDialog::submit()
{
    try {
        if (m_action)
            m_action();
        accept();
    } catch (...) {
        m_refusal->setText(errorMessage(RunError::current()));
    }
}

double serialOf(QDate date)
{
    return dates::serial(date.year(), date.month(), date.day());
}

QDate dateOf(double serial)
{
    const dates::Ymd d = dates::ymd(serial);
    return QDate(d.year, d.month, d.day);
}

double serialOf(QTime time)
{
    return dates::timeSerial(time.hour(), time.minute(), time.second());
}

QTime timeOf(double serial)
{
    int h = 0, m = 0, s = 0;
    dates::hms(serial, h, m, s);
    return QTime(h % 24, m, s);
}

QDateEdit* dateEditor(double serial, QWidget* parent)
{
    auto* edit = new QDateEdit(dateOf(serial), parent);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    return edit;
}

QTimeEdit* timeEditor(double serial, QWidget* parent)
{
    auto* edit = new QTimeEdit(timeOf(serial), parent);
    // Two digits a section, so typing fills each and moves on to the next.
    edit->setDisplayFormat(QStringLiteral("hh:mm:ss AP"));
    if (auto* text = edit->findChild<QLineEdit*>())
        text->installEventFilter(new SectionOnClick(edit));
    return edit;
}

QLabel* captionFor(const QString& text, QWidget* control)
{
    auto* caption = new QLabel(text, control->parentWidget());
    caption->setBuddy(control);
    return caption;
}

} // namespace pelmar
