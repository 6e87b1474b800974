#include "store/sqltexts.h"

namespace pelmar::sqltexts {

namespace {

QString rangeWhere(const Value& from, const Value& to, const Value& employeeId)
{
    return QStringLiteral(" FROM qslTime WHERE Tdate BETWEEN #") + from.toTextOrEmpty() +
           QStringLiteral("# And #") + to.toTextOrEmpty() + QStringLiteral("# AND PersonnelID = ") +
           employeeId.toTextOrEmpty();
}

} // namespace

QString employee(const Value& employeeId)
{
    return QStringLiteral("SELECT * FROM qslPersonnelShort WHERE EmployeeID = ") + employeeId.toTextOrEmpty();
}

QString rangeListing(const Value& from, const Value& to, const Value& employeeId)
{
    return QStringLiteral("SELECT *") + rangeWhere(from, to, employeeId) +
           QStringLiteral(" ORDER BY Tdate DESC, TimeIn DESC");
}

QString rangeTotal(const Value& from, const Value& to, const Value& employeeId)
{
    return QStringLiteral("SELECT SUM([Thours]) AS SumOfThours") + rangeWhere(from, to, employeeId);
}

} // namespace pelmar::sqltexts
