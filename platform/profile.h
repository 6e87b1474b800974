#pragma once

#include <QString>
#include <optional>

// Reader and writer of private-profile (.ini) files with the semantics of the
// operating system's private-profile functions: sections and keys matched
// without regard to case, values trimmed of surrounding blanks and of one pair
// of enclosing quotes, every other section, key and line preserved on write,
// lines ended by CR LF. Files are written in UTF-8 and read as UTF-8, or as
// Latin-1 (the single-byte code page of the suite's other programs) when
// they are not valid UTF-8.
namespace pelmar::profile {

// A longer file is not read at all, so a huge one can't fill the memory.
constexpr qint64 MaxFileSize = 64 * 1024;

// Returns the value, or defaultValue when the file, section or key is
// missing; nullopt for a file longer than MaxFileSize. Never throws.
std::optional<QString> getString(const QString& section, const QString& key, const QString& defaultValue,
                                 const QString& file);

// Creates the file, the section or the key as needed and replaces an
// existing value. Returns false when the file cannot be written, or is
// longer than MaxFileSize.
bool writeString(const QString& section, const QString& key, const QString& value, const QString& file);

} // namespace pelmar::profile
