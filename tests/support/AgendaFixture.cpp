#include "support/AgendaFixture.h"

#include "db/Statement.h"
#include "platform/AppFolder.h"

#include <QDir>
#include <QFile>

AgendaFixture::AgendaFixture()
{
    if (!database_.isValid())
        return;
    setApplicationFolder(database_.folder());
    dm_ = std::make_unique<TDM>();
    DM = dm_.get();
    dm_->DB_Agenda.setDatabaseName(database_.path());
    dm_->TB_Configuracao.open();
}

void AgendaFixture::installReportTemplates()
{
    const QDir shipped(QStringLiteral(TARVO_APP_DIR "/Relatorios"));
    const QString folder = applicationFolder() + QStringLiteral("/Relatorios");
    QDir().mkpath(folder);
    for (const QString& name : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(name), folder + u'/' + name);
}

AgendaFixture::~AgendaFixture()
{
    dm_.reset();
    DM = nullptr;
}

void AgendaFixture::setConfiguration(const QString& field, const QVariant& value)
{
    DataSet& configuration = dm_->TB_Configuracao;
    configuration.edit();
    configuration.fieldByName(field).setValue(value);
    configuration.post();
}

void AgendaFixture::addContact(const QVariantHash& columns)
{
    Connection connection(database_.path());
    connection.open();
    Transaction transaction(connection);
    const QStringList names = columns.keys();
    Statement insert(transaction,
                     QStringLiteral("insert into TB_AGENDA (%1) values (:%2)")
                         .arg(names.join(QStringLiteral(", ")), names.join(QStringLiteral(", :"))));
    for (const QString& name : names)
        insert.setParameter(name, columns.value(name));
    insert.execute();
    transaction.commit();
}

void AgendaFixture::addReminder(int code, const QVariant& date, const QVariant& time,
                                const QVariant& message)
{
    Connection connection(database_.path());
    connection.open();
    Transaction transaction(connection);
    Statement insert(transaction,
                     QStringLiteral("insert into TB_LEMBRETES (LEM_CODIGO, LEM_DATA, "
                                    "LEM_HORA, LEM_MENSAGEM) values (:C, :D, :H, :M)"));
    insert.setParameter(QStringLiteral("C"), code);
    insert.setParameter(QStringLiteral("D"), date);
    insert.setParameter(QStringLiteral("H"), time);
    insert.setParameter(QStringLiteral("M"), message);
    insert.execute();
    transaction.commit();
}
