#include "ui/widgets/qtdialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

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
