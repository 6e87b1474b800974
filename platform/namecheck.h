#pragma once

#include <QString>
#include <optional>

namespace pelmar {

// Why a full name can't be stored, or nullopt when it can. A name shown in
// the list must look like what it is: no line breaks or other control
// characters, none of the characters that reorder text (bidirectional
// marks, embeddings, overrides and isolates), no blanks at either end, and
// not empty.
std::optional<QString> nameRefusal(const QString& name);

} // namespace pelmar
