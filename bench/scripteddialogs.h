#pragma once

#include "platform/dialogs.h"

#include <QStringList>
#include <deque>

namespace pelmar::bench {

// Dialogs for a window nobody watches: message boxes are recorded, input
// boxes take the answers queued beforehand (empty text, as Cancel gives, when
// none is left) and the file dialogs are always cancelled.
class ScriptedDialogs : public Dialogs
{
public:
    void messageBox(const QString& text, Icon icon, const QString& title) override;
    // Cancelled, as the file dialogs are.
    bool confirmBox(const QString&, const QString&) override { return false; }
    QString inputBox(const QString& prompt, const QString& title) override;
    // Cancelled, as the file dialogs are.
    std::optional<Credentials> logInBox(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> openFileName(const QString& title, const QString& filter,
                                        const QString& initDir) override;
    std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                        const QString& initDir) override;

    void answerInput(const QString& text) { m_inputs.push_back(text); }
    bool inputsLeft() const { return !m_inputs.empty(); }
    // Messages shown since the last call, and forgets them.
    QStringList takeMessages();

private:
    QStringList m_messages;
    std::deque<QString> m_inputs;
};

} // namespace pelmar::bench
