#pragma once

#include "review/recordtypes.h"

#include <QString>
#include <vector>

namespace pelmar::admin {

// The absences an administrator records, in the order they are offered.
const std::vector<RecordType>& absenceTypes();
// The absence named by text; refused for anything else.
RecordType absenceType(const QString& text);

} // namespace pelmar::admin
