#pragma once

#include "db/FbClient.h"

#include <QObject>
#include <QString>

class Transaction;

// One attachment to a database, with the agenda's fixed credentials and SQL dialect 1. No
// character set is named, so text passes as the database's own Windows-1252 bytes.
class Connection : public QObject
{
    Q_OBJECT

public:
    static constexpr unsigned kDialect = 1;
    static constexpr const char* kUserName = "SYSDBA";
    static constexpr const char* kPassword = "plumtrees";

    explicit Connection(const QString& databaseName = {}, QObject* parent = nullptr);
    ~Connection() override;

    // A local file path (embedded engine) or "host:/path", "host/port:/path" (a server).
    QString databaseName() const { return databaseName_; }
    void setDatabaseName(const QString& name) { databaseName_ = name; }

    bool isOpen() const { return static_cast<bool>(attachment_); }

    // Attaches; does nothing when already open. Throws DbError with Firebird's message.
    void open();
    // Rolls back the transactions still active on it, then detaches.
    void close();

    Firebird::IAttachment* attachment() const { return attachment_.get(); }

signals:
    // Emitted every time the connection has been opened.
    void opened();

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
