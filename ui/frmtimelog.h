#pragma once

#include "platform/value.h"

#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace pelmar {

class Clock;
class DataSource;
class Dialogs;
class Engine;
class GlassButton;
class NameList;
class SmtpMail;
class TimeGrid;
struct Shared;

// The time clock's one window. Its controls carry the program's state (the
// log-in state is the caption of cmdGo, the clock state the caption of
// cmdTimeLog, the sheet state the caption of cmdReview), and its handlers are
// the program: each subsystem's folder holds the handlers it owns.
class FrmTimeLog : public QWidget
{
    Q_OBJECT
public:
    FrmTimeLog(Shared& shared, Dialogs& dialogs, const Clock& clock, QString appFolder,
               QWidget* parent = nullptr);
    ~FrmTimeLog() override;

    // Start-up and shutdown (app/).
    void Form_Load();
    void Form_Unload();
    void ReadINI();
    void WriteINI();

    // Screen states and clock display (ui/).
    void ShowClockIn();
    void ShowClockOut();
    void Timer1_Timer();
    void tdbPassword_KeyPress(int& keyAscii);

    // Log-in and the repair of an open record (login/).
    void cmdGo_Click();

    // Clocking and the alert e-mail (timekeeping/).
    void cmdTimeLog_Click();
    void SendAnAlertEmail(const Value& empname, const Value& udate);
    void oSMTP_SendSMTP();
    void oSMTP_ErrorSMTP(int Number, const QString& Description);

    // Time sheet and where-is (review/).
    void cmdReview_Click();
    void chkLimit_Click();
    void CalculateHours();
    void notadate();
    void cmdWhereIs_Click();

    // Runs a handler that has no error trap of its own: a failure is shown as
    // the error reporter shows it and the window stays as the failure left it.
    void guarded(const std::function<void()>& handler);

    // The database engine object, created on first use.
    Engine& engine();

    // Window-wide variables.
    short DaysShown = 0;
    Value FromDate;
    Value ToDate;
    QString SqlText;
    QString WhereStatus;
    QString IniSection;
    QString IniKey;
    QString IniValue;
    int IniValueSize = 0;
    QString IniFile;
    QString IniFound;

    // Controls.
    QWidget* Picture1;
    NameList* tdbPersonnel;
    QLineEdit* tdbPassword;
    GlassButton* cmdGo;
    GlassButton* cmdWhereIs;
    GlassButton* cmdReview;
    QCheckBox* chkLimit;
    QLabel* lblDate;
    QLabel* lblTime;
    QLabel* lblTimeIn;
    QLabel* lblOut;
    QLabel* lblIn;
    QLabel* lblTimeOut;
    QLabel* lblDateOut;
    QLabel* lblDateIn;
    QLabel* lblTotalHours;
    QLabel* Label2;
    QLabel* Label1;
    TimeGrid* tdgTimeWorked;
    GlassButton* cmdTimeLog;
    DataSource* datCustomSettings;
    DataSource* datTime;
    DataSource* datPersonnel;
    QTimer* Timer1;
    std::unique_ptr<SmtpMail> oSMTP;

    Shared& shared() { return m_shared; }
    Dialogs& dialogs() { return m_dialogs; }
    const Clock& clock() const { return m_clock; }
    const QString& appFolder() const { return m_appFolder; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void connectHandlers();
    void createMailComponent();

    // The repairs of a shift left open on an earlier day (login/).
    void closeAtMidnight();
    void repairLeftOpenYesterday();
    void repairLeftOpenEarlier();

    Shared& m_shared;
    Dialogs& m_dialogs;
    const Clock& m_clock;
    QString m_appFolder;
    std::unique_ptr<Engine> m_engine;
};

} // namespace pelmar
