#include "ui/frmtimelog.h"

#include "app/reporterror.h"
#include "app/shared.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/mail/smtpmail.h"
#include "platform/runerror.h"
#include "platform/widgets/artwork.h"
#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
#include "platform/widgets/timegrid.h"
#include "store/datasource.h"
#include "store/engine.h"
#include "store/recordset.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace pelmar {

namespace {

// Positions are the original layout's twips; 15 twips make one pixel.
constexpr int px(int twips)
{
    return twips / 15;
}

QFont arial(int points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"), points, bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(align);
    label->setFont(arial(9, true));
    return label;
}

GlassButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip,
                        QRect geometry, quint32 face, quint32 glare, quint32 mouseMove, quint32 click)
{
    auto* button = new GlassButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setCaption(caption);
    button->setToolTip(tip);
    button->setGeometry(geometry);
    button->setButtonactualcolor(face);
    button->setButtonactualglarecolor(glare);
    button->setButtonmousemovecolor(mouseMove);
    button->setButtonclickcolor(click);
    return button;
}

} // namespace

FrmTimeLog::FrmTimeLog(Shared& shared, Dialogs& dialogs, const Clock& clock, QString appFolder,
                       QWidget* parent)
    : QWidget(parent), m_shared(shared), m_dialogs(dialogs), m_clock(clock), m_appFolder(std::move(appFolder))
{
    createControls();
    connectHandlers();
}

FrmTimeLog::~FrmTimeLog() = default;

void FrmTimeLog::createControls()
{
    setObjectName(QStringLiteral("frmTimeLog"));
    setWindowTitle(QStringLiteral("Time Log"));
    setWindowIcon(artwork::windowIcon());
    setFixedSize(px(8970), px(5325));
    setFont(arial(9));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, GlassButton::fromBgr(0xE0E0E0));
    setPalette(pal);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(0, 0, px(9030), px(5730));
    picture->setPixmap(artwork::background(picture->size()));
    Picture1 = picture;

    // Tab order follows creation order.
    tdbPersonnel = new NameList(Picture1);
    tdbPersonnel->setObjectName(QStringLiteral("tdbPersonnel"));
    tdbPersonnel->setGeometry(px(0), px(285), 190, 24);
    tdbPersonnel->setFont(arial(10));
    tdbPersonnel->setAccessibleName(QStringLiteral("Select Name:"));

    tdbPassword = new QLineEdit(Picture1);
    tdbPassword->setObjectName(QStringLiteral("tdbPassword"));
    tdbPassword->setGeometry(px(3000), px(285), 110, 24);
    tdbPassword->setEchoMode(QLineEdit::Password);
    tdbPassword->setFont(arial(10));
    tdbPassword->setToolTip(
        QStringLiteral("Enter your personal password that is assigned by the administrator."));
    tdbPassword->setAccessibleName(QStringLiteral("Enter Password"));
    // Typed characters show as "*", whatever the style's own mask is.
    tdbPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    cmdGo = makeButton(Picture1, "cmdGo", QStringLiteral("Log In"),
                       QStringLiteral("Display your time clock screen"), QRect(px(4800), px(210), 75, 34),
                       0xC00000, 0xFF8080, 0xFF8080, 0x0000FF);
    cmdWhereIs = makeButton(Picture1, "cmdWhereIs", QStringLiteral("Where Is?"),
                            QStringLiteral("Display this person's last known location"),
                            QRect(px(120), px(840), 86, 34), 0xC00000, 0xFF8080, 0xFF0000, 0xFF0000);
    cmdReview = makeButton(Picture1, "cmdReview", QStringLiteral("View My Time"),
                           QStringLiteral("Display your time sheet in a table"),
                           QRect(px(1440), px(840), 104, 34), 0x004080, 0x0080FF, 0x80C0FF, 0x0080FF);
    cmdReview->hide();

    chkLimit = new QCheckBox(QStringLiteral("Change the dates displayed"), Picture1);
    chkLimit->setObjectName(QStringLiteral("chkLimit"));
    chkLimit->setGeometry(px(2400), px(1680), 190, 20);
    chkLimit->setToolTip(QStringLiteral("Click to enter new date range"));
    chkLimit->setFont(arial(9, true));
    chkLimit->setStyleSheet(QStringLiteral("QCheckBox { color: white; }"));
    chkLimit->hide();

    lblDate = makeLabel(Picture1, "lblDate", QStringLiteral("Date"), QRect(px(5955), px(240), 200, 20),
                        Qt::AlignCenter);
    lblDate->setFont(arial(10, true));
    lblTime = makeLabel(Picture1, "lblTime", QStringLiteral("Time"), QRect(px(6690), px(615), 102, 20),
                        Qt::AlignCenter);
    lblTime->setFont(arial(10, true));

    // The clock lines sit on the dark part of the picture: white captions and
    // light blue values keep them readable.
    const QString blue = QStringLiteral("color: #A8D0FF;");
    lblTimeIn = makeLabel(Picture1, "lblTimeIn", QStringLiteral("TimeIn"), QRect(px(7575), px(2775), 93, 20));
    lblTimeIn->setStyleSheet(blue);
    lblOut =
        makeLabel(Picture1, "lblOut", QStringLiteral("You Clocked Out:"), QRect(px(5256), px(3192), 130, 20));
    lblIn =
        makeLabel(Picture1, "lblIn", QStringLiteral("You Clocked In:"), QRect(px(5316), px(2400), 130, 20));
    lblOut->setStyleSheet(QStringLiteral("color: white;"));
    lblIn->setStyleSheet(QStringLiteral("color: white;"));
    lblTimeOut =
        makeLabel(Picture1, "lblTimeOut", QStringLiteral("TimeOut"), QRect(px(7575), px(3450), 93, 20));
    lblTimeOut->setStyleSheet(blue);
    lblDateOut = makeLabel(Picture1, "lblDateOut", QStringLiteral("DateOut"),
                           QRect(px(5055), px(3450), 165, 20), Qt::AlignRight | Qt::AlignVCenter);
    lblDateOut->setStyleSheet(blue);
    lblDateIn = makeLabel(Picture1, "lblDateIn", QStringLiteral("DateIn"), QRect(px(5070), px(2775), 164, 20),
                          Qt::AlignRight | Qt::AlignVCenter);
    lblDateIn->setStyleSheet(blue);
    lblTotalHours = makeLabel(Picture1, "lblTotalHours", QStringLiteral("Total Hours"),
                              QRect(px(1545), px(5010), 225, 18), Qt::AlignRight | Qt::AlignVCenter);
    lblTotalHours->setStyleSheet(QStringLiteral("color: white;"));
    // A gap between a right-aligned date and the time beside it.
    lblTimeIn->setIndent(6);
    lblTimeOut->setIndent(6);
    for (QLabel* label : {lblTimeIn, lblOut, lblIn, lblTimeOut, lblDateOut, lblDateIn, lblTotalHours})
        label->hide();
    Label2 =
        makeLabel(Picture1, "Label2", QStringLiteral("Enter Password"), QRect(px(3150), px(75), 110, 16));
    Label1 = makeLabel(Picture1, "Label1", QStringLiteral("Select Name:"), QRect(px(165), px(60), 110, 16));
    Label1->setBuddy(tdbPersonnel);
    Label2->setBuddy(tdbPassword);

    tdgTimeWorked = new TimeGrid(Picture1);
    tdgTimeWorked->setObjectName(QStringLiteral("tdgTimeWorked"));
    tdgTimeWorked->setGeometry(px(30), px(1995), px(4965), px(3060));
    tdgTimeWorked->setAccessibleName(QStringLiteral("Time sheet"));
    tdgTimeWorked->hide();

    cmdTimeLog = makeButton(Picture1, "cmdTimeLog", QStringLiteral("Clock In"), QString(),
                            QRect(px(4800), px(960), 110, 40), 0xC00000, 0xFF8080, 0xFF8080, 0xFF0000);
    cmdTimeLog->hide();

    const QString designDatabase = QStringLiteral("C:\\Pelmar\\Pelmar.mdb");
    datCustomSettings = new DataSource(designDatabase, QStringLiteral("CustomSettings"), this);
    datCustomSettings->setObjectName(QStringLiteral("datCustomSettings"));
    datTime = new DataSource(designDatabase, QStringLiteral("qslTime"), this);
    datTime->setObjectName(QStringLiteral("datTime"));
    datPersonnel = new DataSource(designDatabase, QStringLiteral("qslPersonnelShort"), this);
    datPersonnel->setObjectName(QStringLiteral("datPersonnel"));
    tdbPersonnel->setDataSource(datPersonnel);
    tdgTimeWorked->setDataSource(datTime);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->start();
}

void FrmTimeLog::connectHandlers()
{
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1_Timer(); }); });
    connect(cmdGo, &QAbstractButton::clicked, this, [this] { guarded([this] { cmdGo_Click(); }); });
    connect(cmdTimeLog, &QAbstractButton::clicked, this, [this] { guarded([this] { cmdTimeLog_Click(); }); });
    connect(cmdReview, &QAbstractButton::clicked, this, [this] { guarded([this] { cmdReview_Click(); }); });
    connect(cmdWhereIs, &QAbstractButton::clicked, this, [this] { guarded([this] { cmdWhereIs_Click(); }); });
    // Raised by the user's click and by the program's own change of the value.
    connect(chkLimit, &QCheckBox::stateChanged, this, [this] { guarded([this] { chkLimit_Click(); }); });
    tdbPassword->installEventFilter(this);
}

void FrmTimeLog::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const RunError& error) {
        ReportError(m_dialogs, error);
    } catch (const std::exception& error) {
        ReportError(m_dialogs, RunError(err::EngineFailure, QString::fromLocal8Bit(error.what())));
    }
}

Engine& FrmTimeLog::engine()
{
    if (!m_engine)
        m_engine = std::make_unique<Engine>();
    return *m_engine;
}

bool FrmTimeLog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tdbPassword && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            int keyAscii = 13;
            guarded([&] { tdbPassword_KeyPress(keyAscii); });
            return keyAscii == 0;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmTimeLog::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void FrmTimeLog::tdbPassword_KeyPress(int& keyAscii)
{
    if (keyAscii == 13) {
        keyAscii = 0;
        cmdGo_Click();
    }
}

void FrmTimeLog::Timer1_Timer()
{
    const double now = m_clock.now();
    lblDate->setText(dates::longDate(now));
    lblTime->setText(dates::longTime(now));
}

void FrmTimeLog::ShowClockIn()
{
    cmdTimeLog->setCaption(QStringLiteral("Clock IN"));
    cmdTimeLog->setVisible(true);
    cmdTimeLog->setButtonactualcolor(0xC00000);
    cmdTimeLog->setButtonactualglarecolor(0xFF8080);
    cmdTimeLog->setButtonclickcolor(0x0000FF);
    cmdTimeLog->setButtonmousemovecolor(0xFF8080);
    cmdReview->setVisible(true);
}

void FrmTimeLog::ShowClockOut()
{
    lblIn->setVisible(true);
    lblIn->setText(QStringLiteral("You Clocked in:"));
    lblDateIn->setVisible(true);
    cmdTimeLog->setCaption(QStringLiteral("Clock OUT"));
    cmdTimeLog->setVisible(true);
    cmdTimeLog->setButtonactualcolor(0x008000);
    cmdTimeLog->setButtonactualglarecolor(0x80FF80);
    cmdTimeLog->setButtonclickcolor(0x00FF00);
    cmdTimeLog->setButtonmousemovecolor(0x80FF80);
    cmdReview->setVisible(true);
    Recordset& rs = datTime->recordset();
    lblDateIn->setText(dates::longDate(rs.field(QStringLiteral("Tdate")).toDate()));
    lblTimeIn->setVisible(true);
    lblTimeIn->setText(dates::longTime(rs.field(QStringLiteral("TimeIn")).toDate()));
}

} // namespace pelmar
