#pragma once

#include <QString>
#include <optional>
#include <unistd.h>

namespace pelmar {

// A secret read for a command, or why none was.
struct Secret
{
    QString text;
    QString refusal; // empty when text holds the secret

    bool ok() const { return refusal.isEmpty(); }
};

// The secret a command needs, kept off the command line when asked to:
// given as "-" it is one line of input, its line end removed; left out on
// a terminal it is asked for with prompt, twice, without echo, and the two
// must match. Any other given value is the secret itself, for scripts.
Secret readSecret(const std::optional<QString>& given, const QString& prompt, int input = STDIN_FILENO);

} // namespace pelmar
