#pragma once

#include "db/FbClient.h"

#include <QList>
#include <QString>

#include <functional>

class Transaction;

// One attachment to a database, with the agenda's fixed credentials and SQL dialect 1. No
// character set is named, so text passes as the database's own Windows-1252 bytes.
class Connection
{
public:
    static constexpr unsigned kDialect = 1;
    // The page cache a new database asks the engine for: one person reads an agenda, and the
    // system caches the file too.
    static constexpr int kCachePages = 256;
    static constexpr const char* kUserName = "SYSDBA";
    static constexpr const char* kPassword = "plumtrees";

    explicit Connection(const QString& databaseName = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // A local file path (embedded engine) or "host:/path", "host/port:/path" (a server).
    QString databaseName() const { return databaseName_; }
    void setDatabaseName(const QString& name) { databaseName_ = name; }

    bool isOpen() const { return static_cast<bool>(attachment_); }

    // Attaches; does nothing when already open. Throws DbError with Firebird's message.
    void open();
    // Rolls back the transactions still active on it, then detaches.
    void close();

    Firebird::IAttachment* attachment() const { return attachment_.get(); }

    // Runs every time the connection has been opened; an error it throws leaves the
    // connection open and reaches the caller of open().
    std::function<void()> afterConnect;

private:
    friend class Transaction;
    void registerTransaction(Transaction* transaction);
    void unregisterTransaction(Transaction* transaction);

    QString databaseName_;
    FbRef<Firebird::IAttachment> attachment_;
    QList<Transaction*> transactions_;
};

// Bytes of a connection string or file name as the client library takes them.
QByteArray databaseNameBytes(const QString& name);
