#pragma once

#include <QDialog>
#include <optional>

namespace pelmar {

class Dialogs;

// The small grey window behind the database file dialog, shown while the
// user looks for the database.
class DatabaseLocator : public QDialog
{
    Q_OBJECT
public:
    explicit DatabaseLocator(Dialogs& dialogs, QWidget* parent = nullptr);

    // The folder of the database file the user confirmed; nullopt on Cancel
    // (no message) or after reporting a failure.
    std::optional<QString> locate();

private:
    Dialogs& m_dialogs;
};

} // namespace pelmar
