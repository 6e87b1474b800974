#include "ui/frmtimelog.h"

namespace pelmar {

void FrmTimeLog::cmdReview_Click() {}

void FrmTimeLog::chkLimit_Click() {}

void FrmTimeLog::CalculateHours() {}

void FrmTimeLog::notadate() {}

} // namespace pelmar
