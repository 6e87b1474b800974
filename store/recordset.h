#pragma once

#include "platform/value.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace pelmar {

namespace sql {
class Session;
class Query;
} // namespace sql

// The rows of one record source (an SQL text of the program's dialect or a
// table name), read a page at a time as they are asked for. No read stays
// open between calls: each page is read whole and its statement reset, so
// other connections can write in between. The statement itself is prepared
// once, when the recordset opens, and serves every page. Pages grow (64, 64,
// 128, 256, ... rows) so that reading a long result to its end restarts the
// statement only a few times.
//
// A recordset follows its file: when the file at the path was replaced, the
// next read or write goes to the new one; when it was removed, they fail
// with 3024 rather than reach a file nobody will see again. On a server it
// follows the connection: after a lost one the next read or write connects
// again.
//
// Positioned on the first row after opening. Edits go through edit() or
// addNew(), setField() and update(); a text assigned to a column is converted
// by the column's type at once, and update() writes one row in one statement,
// so a row is saved whole or not at all.
class Recordset
{
public:
    static constexpr int PageSize = 64;
    static constexpr int LargestPage = 4096;

    Recordset(std::shared_ptr<sql::Session> session, const QString& source);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Rows read so far: 0 exactly when the result has no rows.
    int recordCount();
    bool eof();
    int position() const { return m_pos; }
    void moveFirst();
    void moveNext();
    // Moves to row index, reading more pages as needed; false past the end.
    bool moveTo(int index);

    QStringList fieldNames();
    // Value of the current row (or of the edit buffer while editing).
    // Throws 3265 for an unknown name, 3021 without a current row.
    Value field(const QString& name);

    void edit();
    void addNew();
    void setField(const QString& name, const Value& value);
    void update();
    void cancelUpdate();
    void close();

    // For lists and grids: rows read so far, and reading further pages.
    int fetchedCount() const { return static_cast<int>(m_rows.size()); }
    bool canFetchMore() const { return !m_complete; }
    void fetchMore();
    const std::vector<Value>& row(int index) const { return m_rows[static_cast<size_t>(index)]; }
    int columnIndex(const QString& name);

private:
    enum class EditMode
    {
        None,
        Edit,
        AddNew
    };
    struct Target;

    void ensureOpened();
    void readPage();
    // The session on the file now at the path (or on a connection that is
    // still good), preparing the statement again when that changed.
    sql::Session& session();
    void prepare();
    void requireCurrent();
    const Target& target();
    Value convertForColumn(const QString& column, const Value& value);

    std::shared_ptr<sql::Session> m_session;
    std::unique_ptr<sql::Query> m_query; // after m_session: finalised first
    bool m_paged = true;
    QString m_sql;
    QStringList m_columns;
    std::vector<Value::Kind> m_columnKinds;
    std::vector<std::vector<Value>> m_rows;
    bool m_opened = false;
    bool m_complete = false;
    int m_pos = 0;

    EditMode m_mode = EditMode::None;
    std::vector<std::optional<Value>> m_buffer; // by column of the target table
    std::unique_ptr<Target> m_target;
    bool m_closed = false;
};

} // namespace pelmar
