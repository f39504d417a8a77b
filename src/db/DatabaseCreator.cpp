#include "db/DatabaseCreator.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/FbClient.h"
#include "db/SqlScript.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/CodePage.h"

#include <QFile>
#include <QFileInfo>

using namespace Firebird;

namespace {

constexpr int kPageSize = 8192;

const QString kBirthdayIndex = QStringLiteral("IX_TB_AGENDA_ANIVERSARIO");

QStringList script(const QString& name)
{
    QFile file(QStringLiteral(":/db/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("The script %1 is missing from the program").arg(name));
    return splitSqlScript(QString::fromUtf8(file.readAll()));
}

// DDL takes effect at commit, so each statement runs in a transaction of its own.
void executeStatement(IAttachment* attachment, const QString& sql)
{
    FbStatus status;
    FbRef<ITransaction> transaction(attachment->startTransaction(&status, 0, nullptr));
    const QByteArray text = CodePage::toWin1252(sql);
    attachment->execute(&status, transaction.get(), static_cast<unsigned>(text.size()),
                        text.constData(), Connection::kDialect, nullptr, nullptr, nullptr, nullptr);
    transaction->commit(&status);
    transaction.release();
}

} // namespace

void createAgendaDatabase(const QString& path, int languageIndex)
{
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("%1 already exists; it was left as it is").arg(path));
    const QStringList statements =
        script(QStringLiteral("schema.sql")) + script(QStringLiteral("birthdays.sql"))
        << QStringLiteral("UPDATE TB_CONFIGURACOES SET CFG_IDIOMA = %1").arg(languageIndex);

    FbXpb dpb(IXpbBuilder::DPB);
    dpb.string(isc_dpb_user_name, Connection::kUserName)
        .string(isc_dpb_password, Connection::kPassword)
        .integer(isc_dpb_sql_dialect, Connection::kDialect)
        .string(isc_dpb_set_db_charset, "WIN1252")
        .integer(isc_dpb_page_size, kPageSize)
        .integer(isc_dpb_set_page_buffers, Connection::kCachePages)
        .tag(isc_dpb_utf8_filename);
    const QByteArray name = databaseNameBytes(path);
    FbStatus status;
    FbRef<IAttachment> attachment(FbClient::instance().provider()->createDatabase(
        &status, name.constData(), dpb.length(), dpb.buffer()));
    try {
        for (const QString& statement : statements)
            executeStatement(attachment.get(), statement);
    } catch (const DbError&) {
        FbStatus dropStatus;
        try {
            attachment->dropDatabase(&dropStatus);
            attachment.release();
        } catch (const DbError&) {
            // The first error is the one to report.
        }
        throw;
    }
    attachment->detach(&status);
    attachment.release();
}

bool upgradeAgendaDatabase(Connection& connection)
{
    {
        Transaction transaction(connection);
        Statement index(transaction, QStringLiteral("SELECT 1 FROM RDB$INDICES "
                                                    "WHERE RDB$INDEX_NAME = :NAME"));
        index.setParameter(QStringLiteral("NAME"), kBirthdayIndex);
        index.execute();
        if (index.fetchNext())
            return false;
    }
    for (const QString& statement : script(QStringLiteral("birthdays.sql")))
        executeStatement(connection.attachment(), statement);
    return true;
}
