#include "app/finddatabase.h"
#include "app/reporterror.h"
#include "app/shared.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/mail/smtpmail.h"
#include "platform/profile.h"
#include "platform/runerror.h"
#include "store/datasource.h"
#include "store/schema.h"
#include "store/sqltexts.h"
#include "ui/frmtimelog.h"

#include <QDir>
#include <QLabel>
#include <QSaveFile>

namespace pelmar {

namespace {

const QString IniName = QStringLiteral("PelmarEmployee.ini");

// The directory search: the name of the ordinary file at path as the folder
// holds it, found without regard to letter case as the original platform's
// search does; empty when there is none. An exact match wins.
QString searchFileName(const QString& folder, const QString& name)
{
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot);
    if (entries.contains(name))
        return name;
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

void createConfigurationFile(const QString& path, const QString& folder)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RunError::of(err::PathFileAccess);
    file.write(QStringLiteral("[PELMAREMPLOYEE]\r\nMessage=%1\r\n").arg(folder).toLatin1());
    if (!file.commit())
        throw RunError::of(err::PathFileAccess);
}

bool isLocationError(int number)
{
    return number == err::CouldNotFindFile || number == err::PathNotValid || number == err::FileNameNotValid;
}

void runLocator(FrmTimeLog& window)
{
    FrmFindDatabase locator(window.shared(), window.dialogs(), &window);
    locator.Form_Load();
}

} // namespace

void FrmTimeLog::Form_Load()
{
    try {
        DaysShown = 14;
        const QString iniPath = QDir(m_appFolder).filePath(IniName);
        IniFound = searchFileName(m_appFolder, IniName);
        if (IniFound != IniName) {
            runLocator(*this);
            if (m_shared.NewDBFolder.isEmpty())
                return;
            createConfigurationFile(iniPath, m_shared.NewDBFolder);
        }
        IniSection = QStringLiteral("PELMAREMPLOYEE");
        IniKey = QStringLiteral("Message");
        IniFile = iniPath;
        for (;;) {
            try {
                ReadINI();
                // The value ends at the first pair of spaces after its NUL.
                const int p = static_cast<int>(IniValue.indexOf(QLatin1String("  "))) + 1;
                if (p - 2 < 0)
                    throw RunError::of(err::InvalidArgument);
                m_shared.DBFolder = IniValue.left(p - 2);
                m_shared.DBPath = m_shared.DBFolder + QLatin1Char('/') + names::DatabaseFile;

                SqlText = sqltexts::CurrentEmployees;
                datPersonnel->setDatabaseName(m_shared.DBPath);
                datPersonnel->setRecordSource(SqlText);
                datPersonnel->refresh();

                SqlText = sqltexts::AllTimeRecords;
                datTime->setDatabaseName(m_shared.DBPath);
                datTime->setRecordSource(SqlText);
                datTime->refresh();

                datCustomSettings->setDatabaseName(m_shared.DBPath);
                datCustomSettings->setRecordSource(names::SettingsTable);
                datCustomSettings->refresh();

                const double now = m_clock.now();
                lblDate->setText(dates::longDate(now));
                lblTime->setText(dates::longTime(now));

                m_shared.NotifyHours =
                    datCustomSettings->recordset().field(QStringLiteral("WorkHoursNotify")).toSingle();
                createMailComponent();
                return;
            } catch (const RunError& error) {
                if (!isLocationError(error.number()))
                    throw;
                m_dialogs.messageBox(
                    QStringLiteral("The database location is incorrect. Please enter the correct "
                                   "location. Contact the system administration for help if "
                                   "needed."));
                runLocator(*this);
                if (m_shared.NewDBFolder.isEmpty())
                    return;
                WriteINI();
            }
        }
    } catch (const RunError& error) {
        ReportError(m_dialogs, error);
    }
}

void FrmTimeLog::ReadINI()
{
    IniValue = QString(255, QLatin1Char(' '));
    IniValueSize = 255;
    // The buffer receives at most 254 characters and a NUL; the rest of its
    // spaces stay untouched.
    const QString value = profile::getString(IniSection, IniKey, QString(), IniFile).left(IniValueSize - 1);
    IniValue.replace(0, value.size() + 1, value + QChar(0));
}

void FrmTimeLog::WriteINI()
{
    IniValue = m_shared.NewDBFolder;
    profile::writeString(IniSection, IniKey, IniValue, IniFile);
}

void FrmTimeLog::Form_Unload()
{
    oSMTP.reset();
}

void FrmTimeLog::createMailComponent()
{
    oSMTP = std::make_unique<SmtpMail>();
    connect(oSMTP.get(), &SmtpMail::SendSMTP, this, [this] { guarded([this] { oSMTP_SendSMTP(); }); });
    connect(oSMTP.get(), &SmtpMail::ErrorSMTP, this, [this](int number, const QString& description) {
        guarded([&] { oSMTP_ErrorSMTP(number, description); });
    });
}

} // namespace pelmar
