#pragma once

#include "platform/dialogs.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace pelmar::test {

// Dialogs whose answers a test scripts in advance. Every box shown is
// recorded; an input box with no scripted answer, or any file dialog, fails
// the test.
class ScriptedDialogs : public Dialogs
{
public:
    struct Message
    {
        QString text;
        Icon icon;
    };

    void messageBox(const QString& text, Icon icon, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    std::optional<QString> openFileName(const QString& title, const QString& filter,
                                        const QString& initDir) override;

    // Answers, taken in order. An input box answered by nullopt is cancelled.
    void answerInput(std::optional<QString> text) { m_inputs.push_back(std::move(text)); }

    std::vector<Message> messages;
    // Prompts of the input boxes and titles of the file dialogs shown.
    QStringList asked;

    QStringList texts() const;
    void clear();

private:
    std::deque<std::optional<QString>> m_inputs;
};

} // namespace pelmar::test
