#include "tools/secret.h"

#include "admin/refusal.h"
#include "admin/staff.h"

#include <QByteArray>
#include <cerrno>
#include <termios.h>

namespace pelmar {

namespace {

// Longer lines are no secret anyone types; a file piped in by mistake is
// refused instead of read whole.
constexpr qsizetype MaxLine = 4096;

// One line of fd without its line end; nullopt at once when the input ends
// before anything was read, or the line is too long.
std::optional<QByteArray> readLine(int fd, bool* tooLong)
{
    QByteArray line;
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (line.isEmpty())
                return std::nullopt;
            break;
        }
        if (c == '\n')
            break;
        if (line.size() == MaxLine) {
            *tooLong = true;
            return std::nullopt;
        }
        line.append(c);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

void show(int fd, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    qsizetype at = 0;
    while (at < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + at, static_cast<size_t>(bytes.size() - at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        at += n;
    }
}

// The terminal without echo for as long as it lives; the line end typed
// still shows, so the next prompt starts on a line of its own.
class EchoOff
{
public:
    explicit EchoOff(int fd) : m_fd(fd), m_saved(), m_changed(::tcgetattr(fd, &m_saved) == 0)
    {
        if (!m_changed)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        // Whatever was typed ahead was echoed already, so it is dropped.
        m_changed = ::tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (m_changed)
            ::tcsetattr(m_fd, TCSAFLUSH, &m_saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int m_fd;
    termios m_saved;
    bool m_changed;
};

} // namespace

Secret readSecret(const std::optional<QString>& given, const QString& prompt, int input)
{
    if (given && *given != QLatin1String("-"))
        return {*given, {}};
    bool tooLong = false;
    if (given) {
        const std::optional<QByteArray> line = readLine(input, &tooLong);
        if (!line)
            return {{},
                    tooLong ? QStringLiteral("The line on standard input is too long.")
                            : QStringLiteral("Standard input was empty; nothing was changed.")};
        return {QString::fromLocal8Bit(*line), {}};
    }
    if (::isatty(input) != 1)
        return {{},
                QStringLiteral("%1 is missing: give it, or - to read it from standard input.").arg(prompt)};
    const EchoOff quiet(input);
    show(input, prompt + QStringLiteral(": "));
    const std::optional<QByteArray> first = readLine(input, &tooLong);
    if (!first)
        return {{}, QStringLiteral("Nothing was typed; nothing was changed.")};
    show(input, prompt + QStringLiteral(" again: "));
    const std::optional<QByteArray> second = readLine(input, &tooLong);
    if (!second)
        return {{}, QStringLiteral("Nothing was typed; nothing was changed.")};
    try {
        return {admin::confirmedPassword(QString::fromLocal8Bit(*first), QString::fromLocal8Bit(*second)),
                {}};
    } catch (const admin::Refusal& refusal) {
        return {{}, refusal.description()};
    }
}

} // namespace pelmar
