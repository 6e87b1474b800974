#pragma once

#include "platform/dialogs.h"

class QWidget;

namespace pelmar {

// The program's dialogs: Qt's message box, input box and file dialog, each
// modal over the given window, each reachable through assistive technology.
class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    void messageBox(const QString& text, Icon icon = Icon::None, const QString& title = QString()) override;
    bool confirmBox(const QString& text, const QString& title = QString()) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    std::optional<Credentials> logInBox(const QString& prompt, const QString& title,
                                        const QString& user) override;
    std::optional<QString> openFileName(const QString& title, const QString& filter,
                                        const QString& initDir) override;
    std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                        const QString& initDir) override;

    // "Description|pattern|..." as Qt's file dialog writes it: "Description (pattern);;...".
    static QString qtFilter(const QString& filter);

private:
    QWidget* m_owner;
};

} // namespace pelmar
