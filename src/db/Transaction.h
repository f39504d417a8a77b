#pragma once

#include "db/FbClient.h"

class Connection;

// The agenda's transaction: read committed, record version, no wait. A write that meets a row
// locked by another connection fails at once.
class Transaction
{
public:
    explicit Transaction(Connection& connection);
    // Rolls back when still active; never commits, never throws.
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    Connection& connection() const { return connection_; }
    bool isActive() const { return static_cast<bool>(transaction_); }

    void start();
    void commit();
    // Makes the work permanent and visible while the transaction and its cursors stay open.
    void commitRetaining();
    void rollback();

    Firebird::ITransaction* handle() const { return transaction_.get(); }

private:
    Connection& connection_;
    FbRef<Firebird::ITransaction> transaction_;
};
