#pragma once

#include <QDate>
#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

// The day's verified copy of the agenda's database, made in the background: at start-up, then
// at the first check of each new day while the program runs. A database on a server is the
// server's to copy.
class AutomaticBackup : public QObject
{
    Q_OBJECT

public:
    // How often the day is looked at.
    static constexpr int kCheckInterval = 60 * 60 * 1000;

    explicit AutomaticBackup(QObject* parent = nullptr);
    // Waits for a copy under way: it uses the database's file.
    ~AutomaticBackup() override;

    // Starts today's copy unless one exists, today's has been tried already, one is under way,
    // or the database is not a local file. Returns whether it started one.
    bool check();
    bool isRunning() const { return watcher_.isRunning(); }

signals:
    // A copy was made, or it failed and the failure was shown.
    void finished();

private:
    // Runs on the user-interface thread once the worker is done.
    void copyFinished();

    QTimer timer_;
    QFutureWatcher<QString> watcher_; // the failure's message; empty when the copy was made
    QDate triedOn_;                   // a failed day is not tried again, so it is told once
};
