#include "bench/scripteddialogs.h"

namespace pelmar::bench {

void ScriptedDialogs::messageBox(const QString& text, Icon, const QString&)
{
    m_messages << text;
}

QString ScriptedDialogs::inputBox(const QString&, const QString&)
{
    if (m_inputs.empty())
        return QString();
    QString answer = m_inputs.front();
    m_inputs.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::openFileName(const QString&, const QString&, const QString&)
{
    return std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFileName(const QString&, const QString&, const QString&)
{
    return std::nullopt;
}

QStringList ScriptedDialogs::takeMessages()
{
    QStringList out;
    out.swap(m_messages);
    return out;
}

} // namespace pelmar::bench
