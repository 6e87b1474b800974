#include "ui/widgets/qtdialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace pelmar {

namespace {

QString titleOrProgram(const QString& title)
{
    return title.isEmpty() ? Dialogs::programTitle() : title;
}

} // namespace

void QtDialogs::messageBox(const QString& text, Icon icon, const QString& title)
{
    QMessageBox box(m_owner);
    box.setWindowTitle(titleOrProgram(title));
    box.setText(text);
    box.setIcon(icon == Icon::Information ? QMessageBox::Information : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

bool QtDialogs::confirmBox(const QString& text, const QString& title)
{
    QMessageBox box(m_owner);
    box.setWindowTitle(titleOrProgram(title));
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title)
{
    QInputDialog dialog(m_owner);
    dialog.setWindowTitle(titleOrProgram(title));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(prompt);
    dialog.setTextValue(QString());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

std::optional<Dialogs::Credentials> QtDialogs::logInBox(const QString& prompt, const QString& title,
                                                        const QString& user)
{
    QDialog dialog(m_owner);
    dialog.setWindowTitle(titleOrProgram(title));
    auto* text = new QLabel(prompt, &dialog);
    text->setWordWrap(true);
    auto* name = new QLineEdit(user, &dialog);
    name->setObjectName(QStringLiteral("logInUser"));
    auto* password = new QLineEdit(&dialog);
    password->setObjectName(QStringLiteral("logInPassword"));
    password->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    form->addRow(QCoreApplication::translate("pelmar::QtDialogs", "&User name"), name);
    form->addRow(QCoreApplication::translate("pelmar::QtDialogs", "&Password"), password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // The name is usually given; the password is what is left to type.
    (user.isEmpty() ? name : password)->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Credentials{name->text(), password->text()};
}

std::optional<QString> QtDialogs::openFileName(const QString& title, const QString& filter,
                                               const QString& initDir)
{
    const QString file = QFileDialog::getOpenFileName(m_owner, title, initDir, qtFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<QString> QtDialogs::saveFileName(const QString& title, const QString& filter,
                                               const QString& initDir)
{
    const QString file = QFileDialog::getSaveFileName(m_owner, title, initDir, qtFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

QString QtDialogs::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return filter;
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        // Descriptions often repeat their pattern already: "Databases (*.mdb)".
        const QString suffix = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (description.endsWith(suffix, Qt::CaseInsensitive))
            description = description.chopped(suffix.size()).trimmed();
        // Qt separates patterns by blanks where the Windows form uses semicolons.
        QString patterns = pattern;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(description, patterns.simplified());
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace pelmar
