#pragma once

#include <QTextStream>
#include <memory>

namespace pelmar::sql {
class Session;
}

namespace pelmar {

// pelmar-db copy's work: every row of every table read from reader in one
// snapshot and written to target in one transaction, keeping the keys; the
// audit trail and the alerts' outbox when the source has them. target holds
// no records (with or without the tables); a server target gets its rules
// and triggers back after the rows. With progress, how far each table got is
// shown on err. Refused, with nothing written, when a table's count differs
// afterwards.
void copyDatabase(sql::Session& reader, const std::shared_ptr<sql::Session>& target, bool progress,
                  QTextStream& err);

} // namespace pelmar
