#include "ui/frmtimelog.h"

namespace pelmar {

void FrmTimeLog::SendAnAlertEmail(const Value&, const Value&) {}

void FrmTimeLog::oSMTP_SendSMTP() {}

void FrmTimeLog::oSMTP_ErrorSMTP(int, const QString&) {}

} // namespace pelmar
