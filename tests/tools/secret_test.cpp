#include "tools/secret.h"

#include <QByteArray>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>

using namespace pelmar;

namespace {

// A file descriptor closed when the test is done with it.
struct Fd
{
    explicit Fd(int f = -1) : fd(f) {}
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int fd;
};

Secret fromPipe(const QByteArray& bytes, const std::optional<QString>& given)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return {{}, "no pipe"};
    const Fd in(ends[0]);
    {
        const Fd out(ends[1]);
        EXPECT_EQ(::write(out.fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    }
    return readSecret(given, "Password", in.fd);
}

TEST(SecretTest, AGivenValueOrOneLineOfStandardInput)
{
    const std::tuple<QByteArray, std::optional<QString>, Secret> cases[] = {
        {"unread\n", QString("pw"), {"pw", {}}},
        {"s3cret\r\nnext line\n", QString("-"), {"s3cret", {}}},
        {"no line end", QString("-"), {"no line end", {}}},
        {"\n", QString("-"), {"", {}}},
        {"", QString("-"), {{}, "Standard input was empty; nothing was changed."}},
        {QByteArray(5000, 'x'), QString("-"), {{}, "The line on standard input is too long."}},
        // Not a terminal: nobody to ask.
        {"s3cret\n",
         std::nullopt,
         {{}, "Password is missing: give it, or - to read it from standard input."}},
    };
    for (const auto& [input, given, expected] : cases) {
        SCOPED_TRACE(input.left(20).toStdString());
        const Secret s = fromPipe(input, given);
        EXPECT_EQ(s.text, expected.text);
        EXPECT_EQ(s.refusal, expected.refusal);
    }
}

// What the terminal shows, read until text has appeared; empty after a
// few seconds without it.
QByteArray shownUntil(int master, QByteArray& shown, const QByteArray& text)
{
    while (!shown.contains(text)) {
        pollfd p{master, POLLIN, 0};
        char buffer[256];
        if (::poll(&p, 1, 5000) != 1)
            return {};
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            return {};
        shown.append(buffer, static_cast<int>(n));
    }
    return shown;
}

// On a terminal the secret is typed twice and never shown.
TEST(SecretTest, ATerminalIsAskedTwiceWithoutEcho)
{
    const std::tuple<const char*, const char*, Secret> cases[] = {
        {"s3cret\n", "s3cret\n", {"s3cret", {}}},
        {"s3cret\n", "s3creT\n", {{}, "The two passwords differ; nothing was changed."}},
    };
    for (const auto& [first, second, expected] : cases) {
        const Fd master(::posix_openpt(O_RDWR | O_NOCTTY));
        ASSERT_GE(master.fd, 0);
        ASSERT_EQ(::grantpt(master.fd), 0);
        ASSERT_EQ(::unlockpt(master.fd), 0);
        const Fd terminal(::open(::ptsname(master.fd), O_RDWR | O_NOCTTY));
        ASSERT_GE(terminal.fd, 0);

        auto reading =
            std::async(std::launch::async, [&] { return readSecret(std::nullopt, "Password", terminal.fd); });
        QByteArray shown;
        // Both lines are typed whatever happens, so the reader always returns.
        EXPECT_FALSE(shownUntil(master.fd, shown, "Password: ").isEmpty()) << shown.toStdString();
        EXPECT_EQ(::write(master.fd, first, std::strlen(first)), static_cast<ssize_t>(std::strlen(first)));
        EXPECT_FALSE(shownUntil(master.fd, shown, "Password again: ").isEmpty()) << shown.toStdString();
        EXPECT_EQ(::write(master.fd, second, std::strlen(second)), static_cast<ssize_t>(std::strlen(second)));
        const Secret s = reading.get();

        EXPECT_EQ(s.text, expected.text);
        EXPECT_EQ(s.refusal, expected.refusal);
        EXPECT_FALSE(shown.contains("s3cr")) << shown.toStdString();
        termios after{};
        ASSERT_EQ(::tcgetattr(terminal.fd, &after), 0);
        EXPECT_TRUE(after.c_lflag & ECHO) << "echo is back on";
    }
}

} // namespace
