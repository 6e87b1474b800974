#pragma once

#include <QString>
#include <optional>

namespace pelmar {

// The modal boxes the program shows. The program uses Qt's dialogs; tests
// script the answers. Every message box has an OK button only; a question
// that may stop an action is a confirmation box.
class Dialogs
{
public:
    enum class Icon
    {
        None,
        Information
    };

    // A user name and password, as a log-in box gives them.
    struct Credentials
    {
        QString user;
        QString password;
    };

    virtual ~Dialogs() = default;

    // An empty title means the program's title, "PelmarEmployee".
    virtual void messageBox(const QString& text, Icon icon = Icon::None,
                            const QString& title = QString()) = 0;
    // Text with OK and Cancel, Cancel the default. True on OK.
    virtual bool confirmBox(const QString& text, const QString& title = QString()) = 0;
    // Prompt, title, one-line entry with OK and Cancel. Returns the text, or
    // empty text on Cancel: callers treat both alike.
    virtual QString inputBox(const QString& prompt, const QString& title) = 0;
    // Prompt, title, a user name entry (holding user at first) and a masked
    // password entry with OK and Cancel. nullopt on Cancel.
    virtual std::optional<Credentials> logInBox(const QString& prompt, const QString& title,
                                                const QString& user) = 0;
    // The system's file-open dialog: title, filter ("Description|pattern"),
    // start folder. nullopt on Cancel.
    virtual std::optional<QString> openFileName(const QString& title, const QString& filter,
                                                const QString& initDir) = 0;
    // The system's file-save dialog, the same way; it asks before replacing
    // a file.
    virtual std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                                const QString& initDir) = 0;

    static QString programTitle() { return QStringLiteral("PelmarEmployee"); }
};

} // namespace pelmar
