#pragma once

#include <QString>

namespace pelmar {

class Dialogs;
class RunError;

// The words the windows show for an error: a refusal's reason as it is,
// any other error "Error:<number> <description>". A catch (...) passes
// RunError::current(), so that nothing it caught goes unshown.
QString errorMessage(const RunError& error);

// The one way a window tells the user about an error outside a form:
// errorMessage in a plain message box, after the screen's mouse pointer is
// set back to the default.
void reportError(Dialogs& dialogs, const RunError& error);

} // namespace pelmar
