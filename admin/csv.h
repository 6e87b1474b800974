#pragma once

#include "platform/value.h"

#include <QString>
#include <vector>

namespace pelmar::admin::csv {

// The one CSV writer of the administrator's reports, as spreadsheets read
// them back: CRLF lines, a field quoted with its quotes doubled when it holds
// a comma, a quote or a line break, Null as nothing, numbers shortest, dates
// in their short and long forms. A text that a spreadsheet would run as a
// formula (beginning with =, +, -, @, a tab or a CR) gets a leading '.
QString quoted(QString text);
QString field(const Value& value);
// The fields joined by commas, with the line's CRLF.
QString line(const std::vector<Value>& fields);
QString header(const char* names);

} // namespace pelmar::admin::csv
