#pragma once

#include "admin/settings.h"
#include "ui/admin/admintab.h"

class QLabel;
class QLineEdit;

namespace pelmar {

class SmtpMail;

// The alert settings: the threshold and the mail server, saved together, and
// a test alert sent through the clock's own mail code with the values typed
// (saved or not), under the same TLS rules as the alert.
class SettingsTab : public AdminTab
{
    Q_OBJECT
public:
    SettingsTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);
    // Reads the saved settings once; later visits keep what was typed.
    void refresh() override;

private:
    void show(const admin::Settings& settings);
    admin::Settings typed() const;
    void save();
    void sendTestAlert();

    QLineEdit* m_hours;
    QLineEdit* m_server;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_email;
    QLabel* m_status;
    SmtpMail* m_mail;
    QString m_testRecipient; // of the last test alert sent
    bool m_loaded = false;
};

} // namespace pelmar
