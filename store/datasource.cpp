#include "store/datasource.h"

#include "platform/runerror.h"
#include "store/engine.h"

namespace pelmar {

DataSource::DataSource(QString databaseName, QString recordSource, QObject* parent)
    : QObject(parent), m_databaseName(std::move(databaseName)), m_recordSource(std::move(recordSource))
{
}

DataSource::~DataSource() = default;

void DataSource::refresh()
{
    // The same file hands back its open connection, and a file that was
    // removed or replaced is noticed.
    std::unique_ptr<Database> db = Database::open(m_databaseName);
    std::unique_ptr<Recordset> rs = db->openRecordset(m_recordSource);
    rs->recordCount(); // reads the first page, so errors surface here
    m_database = std::move(db);
    m_recordset = std::move(rs);
    ++m_refreshes;
    emit refreshed();
}

Recordset& DataSource::recordset()
{
    if (!m_recordset)
        throw RunError::of(err::ObjectNotSet);
    return *m_recordset;
}

} // namespace pelmar
