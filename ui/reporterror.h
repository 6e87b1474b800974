#pragma once

namespace pelmar {

class Dialogs;
class RunError;

// The one way the program tells the user about an error nobody expected:
// "Error:<number> <description>" in a plain message box, after the screen's
// mouse pointer is set back to the default.
void reportError(Dialogs& dialogs, const RunError& error);

} // namespace pelmar
