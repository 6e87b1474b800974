#pragma once

#include "store/recordset.h"

#include <QObject>
#include <QString>
#include <memory>

namespace pelmar {

class Database;

// The rows a list or grid shows: a database name and a record source that take effect
// at the next refresh, and the current recordset that the bound list or grid
// shows. The database stays open between refreshes while its name is
// unchanged.
class DataSource : public QObject
{
    Q_OBJECT
public:
    DataSource(QString databaseName, QString recordSource, QObject* parent = nullptr);
    ~DataSource() override;

    const QString& databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& name) { m_databaseName = name; }
    const QString& recordSource() const { return m_recordSource; }
    void setRecordSource(const QString& source) { m_recordSource = source; }

    // Opens the database at the database name (3024, 3044 or 3055 for a wrong
    // location) and runs the record source. On failure the previous
    // recordset stays.
    void refresh();

    bool hasRecordset() const { return m_recordset != nullptr; }
    // How many refreshes have succeeded: a list or grid that held off while
    // another thread refreshed can tell whether it must read again.
    quint64 refreshes() const { return m_refreshes; }
    // Throws 91 when the source was never refreshed.
    Recordset& recordset();

    // Tells the bound list or grid that rows were read or changed.
    void notifyRowsChanged() { emit rowsChanged(); }

signals:
    void refreshed();
    void rowsChanged();

private:
    QString m_databaseName;
    QString m_recordSource;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<Recordset> m_recordset;
    quint64 m_refreshes = 0;
};

} // namespace pelmar
