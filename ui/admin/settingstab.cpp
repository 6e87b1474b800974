#include "ui/admin/settingstab.h"

#include "platform/dialogs.h"
#include "platform/mail/smtpmail.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "ui/admin/jobs.h"
#include "ui/reporterror.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelmar {

SettingsTab::SettingsTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : AdminTab(jobs, dialogs, clock, parent)
{
    auto* form = new QFormLayout;
    const auto entry = [this, form](const QString& label, const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setAccessibleName(QString(label).remove(QLatin1Char('&')));
        form->addRow(label, e);
        return e;
    };
    m_hours = entry(tr("Alert after &hours"), "notifyHours");
    m_server = entry(tr("Mail &server"), "smtpServer");
    m_user = entry(tr("Mail &user"), "smtpUser");
    m_password = entry(tr("Mail pass&word"), "smtpPassword");
    m_password->setEchoMode(QLineEdit::Password);
    // The saved password is never shown, nor read into the window.
    m_password->setPlaceholderText(tr("Left empty, the saved password is kept"));
    m_email = entry(tr("Administrator's &address"), "smtpEmail");
    QPushButton* saveButton = button(tr("&Save"), "saveSettings");
    QPushButton* test = button(tr("Send a &test alert"), "sendTestAlert");
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("settingsStatus"));
    // No accessible name: a screen reader reads the outcome itself.
    m_status->setWordWrap(true);
    m_mail = new SmtpMail(this);
    m_mail->setObjectName(QStringLiteral("testAlertMail"));

    auto* actions = new QHBoxLayout;
    actions->addWidget(saveButton);
    actions->addWidget(test);
    actions->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(actions);
    layout->addWidget(m_status);
    layout->addStretch();

    connect(saveButton, &QPushButton::clicked, this, &SettingsTab::save);
    connect(test, &QPushButton::clicked, this, &SettingsTab::sendTestAlert);
    connect(m_mail, &SmtpMail::sent, this,
            [this] { m_status->setText(tr("Sent to %1").arg(m_testRecipient)); });
    connect(m_mail, &SmtpMail::failed, this,
            [this](int, const QString& description) { m_status->setText(description); });
}

void SettingsTab::refresh()
{
    if (m_loaded)
        return;
    m_jobs.read(this, [this](Database& db) -> Jobs::Apply {
        admin::Settings settings = admin::readSettings(db);
        return [this, settings] { show(settings); };
    });
}

void SettingsTab::show(const admin::Settings& s)
{
    m_loaded = true;
    m_hours->setText(s.notifyHours);
    m_server->setText(s.server);
    m_user->setText(s.user);
    m_password->clear();
    m_email->setText(s.email);
}

admin::Settings SettingsTab::typed() const
{
    std::optional<QString> password;
    if (!m_password->text().isEmpty())
        password = m_password->text();
    return {m_hours->text(), m_server->text(), m_user->text(), password, m_email->text()};
}

void SettingsTab::save()
{
    if (write([this](Database& db) { admin::saveSettings(db, typed()); })) {
        // Saved, it is the saved password now and leaves the window.
        m_password->clear();
        m_status->setText(tr("Saved."));
        emit changed(tr("Settings saved"));
    }
}

void SettingsTab::sendTestAlert()
{
    try {
        // The saved password is read now, at the moment it is needed, and
        // kept in no member.
        const admin::TestAlert testMail = admin::testAlert(*m_jobs.open(), typed());
        m_mail->send(testMail.server, testMail.message);
        m_testRecipient = testMail.message.to;
        m_status->setText(tr("Sending to %1…").arg(m_testRecipient));
    } catch (...) {
        m_status->setText(errorMessage(RunError::current()));
    }
}

} // namespace pelmar
