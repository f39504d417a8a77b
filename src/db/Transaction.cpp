#include "db/Transaction.h"

#include "db/Connection.h"
#include "db/DbError.h"

Transaction::Transaction(Connection& connection) : connection_(connection)
{
    connection_.registerTransaction(this);
}

Transaction::~Transaction()
{
    try {
        rollback();
    } catch (const DbError&) {
        // Releasing the handle below ends the transaction anyway.
    }
    connection_.unregisterTransaction(this);
}

void Transaction::start()
{
    if (isActive())
        throw DbError(QStringLiteral("The transaction is already active"));
    if (!connection_.isOpen())
        throw DbError(QStringLiteral("The database connection is not open"));
    FbXpb tpb(Firebird::IXpbBuilder::TPB);
    tpb.tag(isc_tpb_read_committed).tag(isc_tpb_rec_version).tag(isc_tpb_nowait);
    FbStatus status;
    transaction_.reset(
        connection_.attachment()->startTransaction(&status, tpb.length(), tpb.buffer()));
}

void Transaction::commit()
{
    if (!isActive())
        return;
    FbStatus status;
    transaction_->commit(&status);
    transaction_.release();
}

void Transaction::commitRetaining()
{
    FbStatus status;
    if (isActive())
        transaction_->commitRetaining(&status);
}

void Transaction::rollback()
{
    if (!isActive())
        return;
    FbStatus status;
    transaction_->rollback(&status);
    transaction_.release();
}
