#include "ui/frmtimelog.h"

namespace pelmar {

void FrmTimeLog::cmdTimeLog_Click() {}

} // namespace pelmar
