#pragma once

#include "bench/bare.h"
#include "store/postgres.h"

#include <QString>
#include <initializer_list>

namespace pelmar::bench {

// The bare work on a PostgreSQL server, over libpq: the server's own names
// (lower case), parameters in text form, every result read whole.
class BarePg : public Bare
{
public:
    explicit BarePg(const QString& uri);

    void connect() override;
    void startUp() override;
    void employee(qint64 id) override;
    void listing(qint64 employee, double from, double to, int limit) override;
    double total(qint64 employee, double from, double to) override;
    qint64 clockIn(qint64 employee, double day, double timeIn) override;
    void clockOut(qint64 timeId, double timeOut, double hours) override;
    void remove(qint64 timeId) override;
    void board(double from, double to) override;
    void payroll(double from, double to) override;

    // The database and where it is, without the password a URI may carry.
    QString name() const;
    qint64 sizeBytes();

private:
    sql::PgResultHandle run(const char* text, std::initializer_list<QByteArray> params = {});
    void readAll(const PGresult* result);

    QString m_uri;
    sql::PgConnectionHandle m_conn;
};

} // namespace pelmar::bench
