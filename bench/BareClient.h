#pragma once

#include "db/FbClient.h"

#include <QString>

#include <vector>

// The Firebird client's object-oriented interface used bare, as the yardstick of the
// benchmarks: an attachment of its own, one read-committed transaction, statements prepared
// and rows fetched into the message buffer with no conversion at all.
class BareClient
{
public:
    explicit BareClient(const QString& database);
    ~BareClient();
    BareClient(const BareClient&) = delete;
    BareClient& operator=(const BareClient&) = delete;

    // Prepares and runs sql, then fetches up to rows rows (all of them when rows < 0), and
    // returns how many it fetched.
    int fetch(const QString& sql, int rows = -1);

private:
    FbRef<Firebird::IAttachment> attachment_;
    FbRef<Firebird::ITransaction> transaction_;
    std::vector<unsigned char> buffer_;
};
