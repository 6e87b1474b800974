#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <functional>
#include <memory>

namespace pelmar {

class Database;
class Dialogs;

// Runs the administrator's window's work on the database, each job on a
// connection of its own. Reads run on the thread pool so that a year's
// payroll leaves the window responsive; their answer is applied on the
// window's thread. Writes run at once, on the window's thread, so that the
// dialog that asked can show a refusal.
class Jobs : public QObject
{
    Q_OBJECT
public:
    // What a read hands back to the window's thread.
    using Apply = std::function<void()>;

    Jobs(Dialogs& dialogs, QString location, QObject* parent = nullptr);
    // Waits for the reads still running; their answers are dropped.
    ~Jobs() override;

    const QString& location() const { return m_location; }
    bool busy() const { return m_running > 0; }

    // work runs on the pool and returns what to show; it is shown unless
    // context is gone by then. A refusal or an error is shown instead.
    void read(QObject* context, std::function<Apply(Database&)> work);
    // The same for work that needs no database, such as laying out a long
    // report, so that the window keeps answering meanwhile.
    void compute(QObject* context, std::function<Apply()> work);
    // A connection of its own for a write on this thread.
    std::unique_ptr<Database> open() const;

signals:
    void busyChanged(bool busy);

private:
    void start(QObject* context, std::function<Apply()> work);

    Dialogs& m_dialogs;
    QString m_location;
    int m_running = 0;
    QThreadPool m_pool;
};

} // namespace pelmar
