#pragma once

#include <QString>

// The database's own backup and restore, through the services of the client library: with the
// embedded engine they run in-process on the calling thread, each with an attachment of its
// own, so they may run on any thread. Failures throw DbError with the service's message.

// Writes a backup of database into copyFile, which must not exist yet.
void backupDatabase(const QString& database, const QString& copyFile);
// Restores copyFile into a new database file; an existing file is refused by the engine.
void restoreDatabase(const QString& copyFile, const QString& database);

// What an agenda holds, as a copy's listing shows it.
struct AgendaContents
{
    qint64 contacts = 0;
    qint64 reminders = 0;
};

AgendaContents countContents(const QString& database);
// Restores copyFile into a temporary file, counts what it holds and drops the file: a copy
// that passes can be restored. DbError when it cannot.
AgendaContents verifyCopy(const QString& copyFile);

// Whether the connection string names a database on a server ("host:/path", "host/port:/path",
// "inet://..."), whose copies are the server's job, rather than a local file.
bool isServerPath(const QString& database);
