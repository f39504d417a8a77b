#include "db/BackupService.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/FbClient.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

using namespace Firebird;

namespace {

// The embedded engine's service manager; a name without a host stays in-process.
constexpr const char* kServiceManager = "service_mgr";
// How long a failed service is given to end: 20 ms at a time.
constexpr int kStopWaits = 250;

FbRef<IService> attachServiceManager()
{
    FbXpb spb(IXpbBuilder::SPB_ATTACH);
    spb.string(isc_spb_user_name, Connection::kUserName)
        .string(isc_spb_password, Connection::kPassword)
        .tag(isc_spb_utf8_filename);
    FbStatus status;
    return FbRef<IService>(FbClient::instance().provider()->attachServiceManager(
        &status, kServiceManager, spb.length(), spb.buffer()));
}

// Reads the service's output until it ends, giving it the bytes of input it asks for. The
// service reports its failure as the error of this query, so a backup or restore that fails
// throws here.
void exchange(IService* service, QIODevice* input)
{
    FbStatus status;
    const unsigned char receive[] = {isc_info_svc_stdin, isc_info_svc_to_eof};
    // A piece of input and its three bytes of framing must fit in a request whose length the
    // service keeps in two bytes: a full 64 KiB piece wraps that length and the service reads
    // garbage as the copy's first record.
    constexpr qint64 kMaxInput = 32 * 1024;
    QByteArray send;
    unsigned char buffer[16384];
    for (;;) {
        service->query(&status, static_cast<unsigned>(send.size()),
                       reinterpret_cast<const unsigned char*>(send.constData()), sizeof receive,
                       receive, sizeof buffer, buffer);
        send.clear();
        bool moreToCome = false;
        qint64 inputWanted = 0;
        for (const unsigned char* item = buffer; item < buffer + sizeof buffer;) {
            const unsigned char kind = *item++;
            if (kind == isc_info_svc_stdin) {
                inputWanted = qFromLittleEndian<qint32>(item);
                item += 4;
            } else if (kind == isc_info_svc_to_eof) {
                const unsigned length = qFromLittleEndian<quint16>(item);
                item += 2 + length;
                moreToCome = moreToCome || length > 0;
            } else if (kind == isc_info_svc_timeout || kind == isc_info_data_not_ready ||
                       kind == isc_info_truncated) {
                moreToCome = true;
            } else {
                break;
            }
        }
        if (inputWanted > 0 && input) {
            // An empty line tells the service the input has ended.
            const QByteArray bytes = input->read(std::min(inputWanted, kMaxInput));
            send.append(char(isc_info_svc_line));
            send.append(char(bytes.size() & 0xFF)).append(char(bytes.size() >> 8));
            send.append(bytes);
            moreToCome = true;
        }
        if (!moreToCome)
            break;
    }
}

// Waits until the service's own thread has ended: a service released while that thread still
// finishes a failed backup or restore can bring the process down.
void waitUntilStopped(IService* service)
{
    const unsigned char running[] = {isc_info_svc_running};
    for (int attempt = 0; attempt < kStopWaits; ++attempt) {
        CheckStatusWrapper status(FbClient::instance().master()->getStatus());
        unsigned char answer[16] = {};
        service->query(&status, 0, nullptr, sizeof running, running, sizeof answer, answer);
        const bool failed = status.getState() & IStatus::STATE_ERRORS;
        status.dispose();
        if (failed || answer[0] != isc_info_svc_running ||
            qFromLittleEndian<qint32>(answer + 1) == 0)
            return;
        QThread::msleep(20);
    }
}

void runService(const FbXpb& request, QIODevice* input = nullptr)
{
    FbRef<IService> service = attachServiceManager();
    FbStatus status;
    service->start(&status, request.length(), request.buffer());
    try {
        exchange(service.get(), input);
    } catch (...) {
        waitUntilStopped(service.get());
        throw;
    }
    service->detach(&status);
    service.release();
}

qint64 countRows(Transaction& transaction, const QString& table)
{
    Statement count(transaction, QStringLiteral("SELECT COUNT(*) FROM ") + table);
    count.execute();
    count.fetchNext();
    return count.value(0).toLongLong();
}

} // namespace

void backupDatabase(const QString& database, const QString& copyFile)
{
    // Said at once: a service that fails to open its database can take the process down as it
    // ends.
    if (!QFileInfo::exists(database))
        throw DbError(QStringLiteral("The database %1 does not exist").arg(database));
    FbXpb request(IXpbBuilder::SPB_START);
    request.tag(isc_action_svc_backup)
        .string(isc_spb_dbname, databaseNameBytes(database).constData())
        .string(isc_spb_bkp_file, databaseNameBytes(copyFile).constData())
        .integer(isc_spb_options, 0);
    runService(request);
}

void restoreDatabase(const QString& copyFile, const QString& database)
{
    QFile copy(copyFile);
    if (!copy.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Cannot read %1: %2").arg(copyFile, copy.errorString()));
    // Given as input, the copy's early end is an error of the restore; read as a file, it
    // would make the service ask the terminal for a further volume.
    FbXpb request(IXpbBuilder::SPB_START);
    request.tag(isc_action_svc_restore)
        .string(isc_spb_bkp_file, "stdin")
        .string(isc_spb_dbname, databaseNameBytes(database).constData())
        .integer(isc_spb_options, isc_spb_res_create);
    runService(request, &copy);
}

AgendaContents countContents(const QString& database)
{
    Connection connection(database);
    connection.open();
    Transaction transaction(connection);
    AgendaContents contents;
    contents.contacts = countRows(transaction, QStringLiteral("TB_AGENDA"));
    contents.reminders = countRows(transaction, QStringLiteral("TB_LEMBRETES"));
    return contents;
}

AgendaContents verifyCopy(const QString& copyFile)
{
    const QTemporaryDir folder;
    if (!folder.isValid())
        throw DbError(
            QStringLiteral("Cannot create a temporary folder: %1").arg(folder.errorString()));
    const QString restored = folder.filePath(QStringLiteral("VERIFICACAO.FDB"));
    restoreDatabase(copyFile, restored);
    return countContents(restored);
}

bool isServerPath(const QString& database)
{
    // A colon after a host (and port) names a server; one letter before it is a drive.
    static const QRegularExpression host(QStringLiteral("^[^/\\\\:]{2,}(/\\d+)?:"));
    return host.match(database).hasMatch() || database.startsWith(QStringLiteral("\\\\"));
}
