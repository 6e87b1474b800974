#pragma once

#include <QString>

// Reader and writer of private-profile (.ini) files with the semantics of the
// operating system's private-profile functions: sections and keys matched
// without regard to case, values trimmed of surrounding blanks and of one pair
// of enclosing quotes, every other section, key and line preserved on write,
// lines ended by CR LF, texts in the single-byte code page (Latin-1).
namespace pelmar::profile {

// Returns the value, or defaultValue when the file, section or key is
// missing. Never throws.
QString getString(const QString& section, const QString& key, const QString& defaultValue,
                  const QString& file);

// Creates the file, the section or the key as needed and replaces an
// existing value. Returns false when the file cannot be written.
bool writeString(const QString& section, const QString& key, const QString& value, const QString& file);

} // namespace pelmar::profile
