#include "BareClient.h"

#include "db/Connection.h"

#include <QFile>

using namespace Firebird;

BareClient::BareClient(const QString& database)
{
    FbXpb dpb(IXpbBuilder::DPB);
    dpb.string(isc_dpb_user_name, Connection::kUserName)
        .string(isc_dpb_password, Connection::kPassword)
        .tag(isc_dpb_utf8_filename);
    const QByteArray name = QFile::encodeName(database);
    FbStatus status;
    IProvider* provider = FbClient::instance().provider();
    attachment_.reset(
        provider->attachDatabase(&status, name.constData(), dpb.length(), dpb.buffer()));
    FbXpb tpb(IXpbBuilder::TPB);
    tpb.tag(isc_tpb_read_committed).tag(isc_tpb_rec_version).tag(isc_tpb_nowait);
    transaction_.reset(attachment_->startTransaction(&status, tpb.length(), tpb.buffer()));
}

BareClient::~BareClient()
{
    FbStatus status;
    transaction_->commit(&status);
    transaction_.release();
    attachment_->detach(&status);
    attachment_.release();
}

int BareClient::fetch(const QString& sql, int rows)
{
    FbStatus status;
    const QByteArray text = sql.toLatin1();
    FbRef<IStatement> statement(attachment_->prepare(
        &status, transaction_.get(), static_cast<unsigned>(text.size()), text.constData(),
        Connection::kDialect, IStatement::PREPARE_PREFETCH_METADATA));
    FbRef<IMessageMetadata> output(statement->getOutputMetadata(&status));
    buffer_.resize(output->getMessageLength(&status));
    FbRef<IResultSet> cursor(
        statement->openCursor(&status, transaction_.get(), nullptr, nullptr, output.get(), 0));
    int fetched = 0;
    while ((rows < 0 || fetched < rows) &&
           cursor->fetchNext(&status, buffer_.data()) == IStatus::RESULT_OK)
        ++fetched;
    cursor->close(&status);
    cursor.release();
    return fetched;
}
