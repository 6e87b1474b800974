#pragma once

#include "platform/dialogs.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
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

    void messageBox(const QString& text, Icon icon, const QString&) override
    {
        messages.push_back({text, icon});
        if (onMessage)
            onMessage(text);
    }
    // Runs at each message box, while it would be open: what the screen
    // shows behind it.
    std::function<void(const QString&)> onMessage;
    bool confirmBox(const QString& text, const QString&) override
    {
        asked << text;
        if (m_confirms.empty()) {
            ADD_FAILURE() << "unexpected confirmation box: " << text.toStdString();
            return false;
        }
        const bool ok = m_confirms.front();
        m_confirms.pop_front();
        return ok;
    }
    QString inputBox(const QString& prompt, const QString&) override
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
    std::optional<Credentials> logInBox(const QString& prompt, const QString&, const QString& user) override
    {
        asked << prompt;
        logInUsers << user;
        if (m_logIns.empty()) {
            ADD_FAILURE() << "unexpected log-in box: " << prompt.toStdString();
            return std::nullopt;
        }
        const std::optional<Credentials> answer = m_logIns.front();
        m_logIns.pop_front();
        return answer;
    }
    std::optional<QString> openFileName(const QString& title, const QString&, const QString&) override
    {
        asked << title;
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }

    std::optional<QString> saveFileName(const QString& title, const QString&, const QString& initDir) override
    {
        asked << title;
        suggested << initDir;
        if (m_saves.empty()) {
            ADD_FAILURE() << "unexpected save dialog: " << title.toStdString();
            return std::nullopt;
        }
        const std::optional<QString> file = m_saves.front();
        m_saves.pop_front();
        return file;
    }

    // The file the next save dialog picks; nullopt cancels it.
    void answerSave(std::optional<QString> file) { m_saves.push_back(std::move(file)); }
    // Answers, taken in order. An input box answered by nullopt is cancelled.
    void answerInput(std::optional<QString> text) { m_inputs.push_back(std::move(text)); }
    // The answer of the next confirmation box: OK or Cancel.
    void answerConfirm(bool ok) { m_confirms.push_back(ok); }
    // The next log-in box's user name and password; nullopt cancels it.
    void answerLogIn(std::optional<Credentials> answer) { m_logIns.push_back(std::move(answer)); }

    std::vector<Message> messages;
    // Prompts of the input, log-in and confirmation boxes and titles of the
    // file dialogs shown.
    QStringList asked;
    // The file each save dialog offered at first.
    QStringList suggested;
    // The user names the log-in boxes were opened with.
    QStringList logInUsers;

    QStringList texts() const
    {
        QStringList out;
        for (const Message& m : messages)
            out << m.text;
        return out;
    }
    void clear()
    {
        messages.clear();
        asked.clear();
    }

private:
    std::deque<std::optional<QString>> m_inputs;
    std::deque<std::optional<QString>> m_saves;
    std::deque<std::optional<Credentials>> m_logIns;
    std::deque<bool> m_confirms;
};

} // namespace pelmar::test
