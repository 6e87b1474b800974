#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

namespace pelmar::test {

void ScriptedDialogs::messageBox(const QString& text, Icon icon, const QString&)
{
    messages.push_back({text, icon});
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString&)
{
    asked << prompt;
    if (m_inputs.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return QString();
    }
    const QString text = m_inputs.front().value_or(QString());
    m_inputs.pop_front();
    return text;
}

std::optional<QString> ScriptedDialogs::openFileName(const QString& title, const QString&, const QString&)
{
    asked << title;
    ADD_FAILURE() << "unexpected file dialog";
    return std::nullopt;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const Message& m : messages)
        out << m.text;
    return out;
}

void ScriptedDialogs::clear()
{
    messages.clear();
    asked.clear();
}

} // namespace pelmar::test
