#include "ui/frmtimelog.h"

namespace pelmar {

void FrmTimeLog::cmdGo_Click() {}

void FrmTimeLog::closeAtMidnight() {}

void FrmTimeLog::repairLeftOpenYesterday() {}

void FrmTimeLog::repairLeftOpenEarlier() {}

} // namespace pelmar
