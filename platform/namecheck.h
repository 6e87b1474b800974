#pragma once

#include <QString>
#include <optional>

namespace pelmar {

// Why a full name can't be stored, or nullopt when it can. A name shown in
// the list must look like what it is: no line breaks or other control
// characters, none of the characters that reorder text (bidirectional
// marks, embeddings, overrides and isolates), no invisible format characters,
// no space but U+0020, no blanks at either end, not empty and at most 100
// characters.
std::optional<QString> nameRefusal(const QString& name);

} // namespace pelmar
