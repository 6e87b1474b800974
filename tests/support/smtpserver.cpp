#include "support/smtpserver.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTemporaryDir>

namespace pelmar::test {

namespace {

QString script()
{
    return qEnvironmentVariable("PELMAR_SOURCE_DIR") + QStringLiteral("/tests/support/smtpserver.py");
}

// Keys are made for each run rather than kept in the source tree.
const QTemporaryDir& certificateDir()
{
    static const QTemporaryDir dir;
    return dir;
}

} // namespace

QString SmtpServer::caFile()
{
    static const bool made = [] {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(QStringLiteral("/usr/bin/python3"), {script(), "certs", certificateDir().path()});
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }();
    return made ? certificateDir().filePath(QStringLiteral("ca.pem")) : QString();
}

SmtpServer::~SmtpServer()
{
    m_process.kill();
    m_process.waitForFinished(3000);
}

quint16 SmtpServer::serve(const Setup& setup)
{
    QStringList arguments{"serve", QString::fromLatin1(User), QString::fromLatin1(Password)};
    if (setup.tls) {
        if (caFile().isEmpty())
            return 0;
        arguments << setup.tls << certificateDir().filePath(QLatin1String(setup.certificate) + ".pem");
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), QStringList{script()} + arguments);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000 && m_process.waitForReadyRead(10000)) {
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("READY "))
            return static_cast<quint16>(line.mid(6).toUInt());
    }
    return 0;
}

// The server reports each message before its client hears the reply, so a
// sent message's line is already here.
void SmtpServer::readReports()
{
    while (m_process.waitForReadyRead(0)) {
    }
    while (m_process.canReadLine()) {
        const QByteArray line = m_process.readLine();
        const QJsonObject envelope = QJsonDocument::fromJson(line.mid(5)).object();
        if (line.startsWith("AUTH "))
            ++m_logins;
        else if (line.startsWith("MAIL "))
            m_received.push_back({envelope.value("raw").toString().toLatin1(), envelope});
    }
}

std::vector<SmtpServer::Message> SmtpServer::received()
{
    readReports();
    return m_received;
}

int SmtpServer::logins()
{
    readReports();
    return m_logins;
}

} // namespace pelmar::test
