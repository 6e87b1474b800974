#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

namespace pelmar::test {

void ScriptedDialogs::messageBox(const QString& text, Icon icon, const QString& title)
{
    messages.push_back({text, icon, title.isEmpty() ? programTitle() : title});
    if (!m_onMessage.empty()) {
        auto action = std::move(m_onMessage.front());
        m_onMessage.pop_front();
        action();
    }
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title)
{
    inputs.push_back({prompt, title});
    if (m_inputs.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return QString();
    }
    const QString text = m_inputs.front() ? *m_inputs.front() : QString();
    m_inputs.pop_front();
    return text;
}

std::optional<QString> ScriptedDialogs::openFileName(const QString& title, const QString& filter,
                                                     const QString& initDir)
{
    fileDialogs << title;
    lastFilter = filter;
    lastInitDir = initDir;
    if (m_files.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }
    if (!m_files.front()) {
        m_files.pop_front();
        return std::nullopt;
    }
    const QString path = *m_files.front();
    m_files.pop_front();
    return path;
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
    inputs.clear();
    fileDialogs.clear();
}

} // namespace pelmar::test
