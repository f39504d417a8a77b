#pragma once

#include "db/BackupService.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// One copy of the agenda, as its file name describes it.
struct BackupCopy
{
    QString path;
    QDateTime madeAt;
    qint64 size = 0;
    AgendaContents contents;
    // Made from the database a restore replaced: kept until removed by hand.
    bool beforeRestore = false;
};

// The newest moment of each of the last `days` days that have one, and of each of the last
// `weeks` weeks (Monday to Sunday) that have one; the two sets may share moments.
QList<QDateTime> momentsToKeep(QList<QDateTime> moments, int days, int weeks);

// The folder "copias" beside a local database, holding its verified copies. A copy's file
// name carries when it was made and what it holds, so listing it costs no restore; files of
// other names are left alone.
class BackupFolder
{
public:
    static constexpr int kDailyCopies = 7;
    static constexpr int kWeeklyCopies = 4;

    explicit BackupFolder(const QString& database);

    QString database() const { return database_; }
    QString path() const { return path_; }

    // Newest first.
    QList<BackupCopy> copies() const;
    bool hasDailyCopyOf(QDate day) const;

    // Writes a copy of the database named for moment, verifies it by restoring it, and
    // returns it. A copy that fails is removed and the failure thrown.
    BackupCopy makeCopy(const QDateTime& moment, bool beforeRestore = false);
    // Removes the daily copies that the keep rule lets go; returns them.
    QList<BackupCopy> prune();

    // Runs on the written copy before it is verified; tests damage it here.
    std::function<void(const QString& copyFile)> afterWriting;

private:
    QString database_;
    QString path_;
};

// A copy restored beside the database, waiting to take its place; removed unless installed.
class PendingRestore
{
public:
    // Restores the copy (DbError when it cannot); the database itself is not touched yet.
    PendingRestore(const QString& copyFile, const QString& database);
    ~PendingRestore();
    PendingRestore(const PendingRestore&) = delete;
    PendingRestore& operator=(const PendingRestore&) = delete;

    // Puts the restored file in the database's place in one step. Nothing may be attached
    // to the database then. Error with the system's message when the file system refuses.
    void install();

private:
    QString database_;
    QString restored_;
    bool installed_ = false;
};
