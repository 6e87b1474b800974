#include "support/smtpserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>

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
    QStringList arguments{"serve", m_dir.path(), QString::fromLatin1(User), QString::fromLatin1(Password)};
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

std::vector<SmtpServer::Message> SmtpServer::received() const
{
    std::vector<Message> out;
    for (int n = 1;; ++n) {
        // The server writes the sidecar last: its presence means complete.
        QFile sidecar(m_dir.filePath(QStringLiteral("mail-%1.json").arg(n)));
        QFile raw(m_dir.filePath(QStringLiteral("mail-%1.eml").arg(n)));
        if (!sidecar.open(QIODevice::ReadOnly) || !raw.open(QIODevice::ReadOnly))
            return out;
        out.push_back({raw.readAll(), QJsonDocument::fromJson(sidecar.readAll()).object()});
    }
}

int SmtpServer::logins() const
{
    QFile log(m_dir.filePath(QStringLiteral("auth.log")));
    return log.open(QIODevice::ReadOnly) ? static_cast<int>(log.readAll().count('\n')) : 0;
}

} // namespace pelmar::test
