#include "ui/frmtimelog.h"

namespace pelmar {

void FrmTimeLog::cmdWhereIs_Click() {}

} // namespace pelmar
