#pragma once

#include <QDialog>

namespace pelmar {

class Dialogs;
struct Shared;

// The locator: asks for the database file with the system's file dialog and
// leaves the confirmed file's folder in NewDBFolder. Cancel leaves it as it
// was, without a message.
class FrmFindDatabase : public QDialog
{
    Q_OBJECT
public:
    FrmFindDatabase(Shared& shared, Dialogs& dialogs, QWidget* parent = nullptr);

    // The load handler: runs the whole dialogue.
    void Form_Load();

    // Settings of the file dialog, given before it opens.
    struct FileDialogSettings
    {
        bool CancelError = false;
        QString Filter;
        int FilterIndex = 0;
        QString DialogTitle;
        QString InitDir;
        QString FileName;
    } dlgFile;

    // The folder the dialog starts in.
    static QString startFolder();

private:
    void ShowOpen();

    Shared& m_shared;
    Dialogs& m_dialogs;
};

} // namespace pelmar
