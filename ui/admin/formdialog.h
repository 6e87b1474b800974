#pragma once

#include <QDate>
#include <QDialog>
#include <QTime>
#include <functional>

class QDateEdit;
class QTimeEdit;
class QFormLayout;
class QLabel;

namespace pelmar {

// A small modal form of the administrator's window: labelled fields, OK and
// Cancel. OK runs the form's action; a refusal or any other failure keeps
// the form open and shows why under the fields (errorMessage), and nothing
// was written.
class FormDialog : public QDialog
{
    Q_OBJECT
public:
    FormDialog(const QString& title, QWidget* parent);

    // Adds a field with its label; the label is also its accessible name.
    template <typename W> W* add(const QString& label, const char* objectName, W* field)
    {
        addField(label, objectName, field);
        return field;
    }
    void setAction(std::function<void()> action) { m_action = std::move(action); }

private:
    void addField(const QString& label, const char* objectName, QWidget* field);
    void submit();

    QFormLayout* m_form;
    QLabel* m_refusal;
    std::function<void()> m_action;
};

// Date serials to and from the editors' values.
double serialOf(QDate date);
QDate dateOf(double serial);
double serialOf(QTime time);
QTime timeOf(double serial);
// A date editor with a calendar, showing M/D/YYYY.
QDateEdit* dateEditor(double serial, QWidget* parent = nullptr);
// A time editor, two digits a section; a click into it selects the section
// clicked, so what is typed next replaces it.
QTimeEdit* timeEditor(double serial, QWidget* parent = nullptr);
// A caption beside a control that points at it: a screen reader names the
// control by it (a combo box's own name is its current item).
QLabel* captionFor(const QString& text, QWidget* control);

} // namespace pelmar
