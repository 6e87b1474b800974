#pragma once

#include "platform/dialogs.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace pelmar::test {

// Dialogs whose answers a test scripts in advance. Every box shown is
// recorded; a box with no scripted answer fails the test.
class ScriptedDialogs : public Dialogs
{
public:
    struct Message
    {
        QString text;
        Icon icon;
        QString title;
    };
    struct Input
    {
        QString prompt;
        QString title;
    };

    void messageBox(const QString& text, Icon icon, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    std::optional<QString> openFileName(const QString& title, const QString& filter,
                                        const QString& initDir) override;

    // Answers, taken in order. An input box answered by nullopt is cancelled.
    void answerInput(std::optional<QString> text) { m_inputs.push_back(std::move(text)); }
    void answerFile(std::optional<QString> path) { m_files.push_back(std::move(path)); }
    // Runs inside the next message box (e.g. to check the window's state then).
    void onNextMessage(std::function<void()> action) { m_onMessage.push_back(std::move(action)); }

    std::vector<Message> messages;
    std::vector<Input> inputs;
    QStringList fileDialogs; // titles, with filter and start folder of the last one
    QString lastFilter;
    QString lastInitDir;

    QStringList texts() const;
    void clear();

private:
    std::deque<std::optional<QString>> m_inputs;
    std::deque<std::optional<QString>> m_files;
    std::deque<std::function<void()>> m_onMessage;
};

} // namespace pelmar::test
