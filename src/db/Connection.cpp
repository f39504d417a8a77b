#include "db/Connection.h"

#include "db/DbError.h"
#include "db/Transaction.h"

#include <QFile>

QByteArray databaseNameBytes(const QString& name)
{
    return QFile::encodeName(name);
}

Connection::Connection(const QString& databaseName) : databaseName_(databaseName) {}

Connection::~Connection()
{
    try {
        close();
    } catch (const DbError&) {
        // A destructor never throws; releasing the attachment below still frees it.
    }
}

void Connection::open()
{
    if (isOpen())
        return;
    FbXpb dpb(Firebird::IXpbBuilder::DPB);
    dpb.string(isc_dpb_user_name, kUserName)
        .string(isc_dpb_password, kPassword)
        .tag(isc_dpb_utf8_filename);
    const QByteArray name = databaseNameBytes(databaseName_);
    FbStatus status;
    attachment_.reset(FbClient::instance().provider()->attachDatabase(&status, name.constData(),
                                                                      dpb.length(), dpb.buffer()));
    if (afterConnect)
        afterConnect();
}

void Connection::close()
{
    if (!isOpen())
        return;
    for (Transaction* transaction : transactions_) {
        if (transaction->isActive())
            transaction->rollback();
    }
    FbStatus status;
    attachment_->detach(&status);
    attachment_.release();
}

void Connection::registerTransaction(Transaction* transaction)
{
    transactions_.append(transaction);
}

void Connection::unregisterTransaction(Transaction* transaction)
{
    transactions_.removeOne(transaction);
}
