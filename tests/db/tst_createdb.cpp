#include "db/Connection.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The database creation tool, run as a user runs it, and the schema it leaves.
class TestCreateDb : public QObject
{
    Q_OBJECT

private slots:
    void createsTheSchema();
    void refusesAnExistingFile();
    void reportsTheDatabaseMessage();

private:
    struct Run
    {
        int exitCode;
        QString errors;
    };
    Run createDb(const QString& path);
};

TestCreateDb::Run TestCreateDb::createDb(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral(TARVO_APP_DIR "/tarvo-createdb"), {path});
    if (!process.waitForFinished(60000))
        return {-1, QStringLiteral("did not finish")};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

void TestCreateDb::createsTheSchema()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("NEW.FDB"));
    const Run run = createDb(path);
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));

    Connection connection(path);
    connection.open();
    Transaction transaction(connection);

    Statement database(transaction,
                       QStringLiteral("select MON$SQL_DIALECT, trim(RDB$CHARACTER_SET_NAME) "
                                      "from MON$DATABASE cross join RDB$DATABASE"));
    database.execute();
    QVERIFY(database.fetchNext());
    QCOMPARE(database.value(0).toInt(), 1);
    QCOMPARE(database.value(1).toString(), QStringLiteral("WIN1252"));

    // Every column: table.column type(width) nullability, text columns with their collation.
    Statement columns(
        transaction,
        QStringLiteral(
            "select trim(rf.RDB$RELATION_NAME) || '.' || trim(rf.RDB$FIELD_NAME) || ' ' || "
            "trim(case f.RDB$FIELD_TYPE when 8 then 'INTEGER' when 35 then 'DATE' "
            "  when 37 then 'VARCHAR(' || f.RDB$CHARACTER_LENGTH || ') ' || "
            "trim(co.RDB$COLLATION_NAME) "
            "  when 261 then 'BLOB' || f.RDB$FIELD_SUB_TYPE else 'OTHER' end) || "
            "case when coalesce(rf.RDB$NULL_FLAG, f.RDB$NULL_FLAG) = 1 then ' NOT NULL' "
            "else cast('' as varchar(1)) end "
            "from RDB$RELATION_FIELDS rf "
            "join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
            "left join RDB$COLLATIONS co on co.RDB$CHARACTER_SET_ID = f.RDB$CHARACTER_SET_ID "
            "  and co.RDB$COLLATION_ID = coalesce(rf.RDB$COLLATION_ID, f.RDB$COLLATION_ID) "
            "where rf.RDB$RELATION_NAME starting with 'TB_' "
            "order by rf.RDB$RELATION_NAME, rf.RDB$FIELD_POSITION"));
    columns.execute();
    QStringList found;
    while (columns.fetchNext())
        found << columns.value(0).toString();
    const QStringList expected = {
        "TB_AGENDA.AGE_CODIGO INTEGER NOT NULL",
        "TB_AGENDA.AGE_NOME VARCHAR(45) WIN_PTBR NOT NULL",
        "TB_AGENDA.AGE_ENDERECO VARCHAR(45) WIN_PTBR",
        "TB_AGENDA.AGE_BAIRRO VARCHAR(20) WIN_PTBR",
        "TB_AGENDA.AGE_CIDADE VARCHAR(45) WIN_PTBR",
        "TB_AGENDA.AGE_UF VARCHAR(2) WIN_PTBR",
        "TB_AGENDA.AGE_CEP VARCHAR(10) WIN_PTBR",
        "TB_AGENDA.AGE_TELEFONE VARCHAR(20) WIN_PTBR",
        "TB_AGENDA.AGE_FAX VARCHAR(20) WIN_PTBR",
        "TB_AGENDA.AGE_CELULAR VARCHAR(20) WIN_PTBR",
        "TB_AGENDA.AGE_EMAIL VARCHAR(45) WIN_PTBR",
        "TB_AGENDA.AGE_WEB VARCHAR(45) WIN_PTBR",
        "TB_AGENDA.AGE_MSN VARCHAR(45) WIN_PTBR",
        "TB_AGENDA.AGE_SKYPE VARCHAR(45) WIN_PTBR",
        "TB_AGENDA.AGE_OBS BLOB1",
        "TB_AGENDA.AGE_DATANASC DATE",
        "TB_CONFIGURACOES.CFG_CODIGO INTEGER",
        "TB_CONFIGURACOES.CFG_SKIN VARCHAR(10) WIN_PTBR",
        "TB_CONFIGURACOES.CFG_STARTWINDOWS VARCHAR(1) WIN_PTBR",
        "TB_CONFIGURACOES.CFG_STARTMINIMIZADO VARCHAR(1) WIN_PTBR",
        "TB_CONFIGURACOES.CFG_IDIOMA INTEGER",
        "TB_LEMBRETES.LEM_CODIGO INTEGER NOT NULL",
        "TB_LEMBRETES.LEM_MENSAGEM BLOB1",
        "TB_LEMBRETES.LEM_DATA DATE",
        "TB_LEMBRETES.LEM_HORA VARCHAR(5) WIN_PTBR",
    };
    QCOMPARE(found, expected);

    Statement keys(
        transaction,
        QStringLiteral("select trim(c.RDB$RELATION_NAME) || '.' || trim(s.RDB$FIELD_NAME) "
                       "from RDB$RELATION_CONSTRAINTS c join RDB$INDEX_SEGMENTS s "
                       "on s.RDB$INDEX_NAME = c.RDB$INDEX_NAME "
                       "where c.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                       "order by c.RDB$RELATION_NAME"));
    keys.execute();
    QStringList primaryKeys;
    while (keys.fetchNext())
        primaryKeys << keys.value(0).toString();
    QCOMPARE(primaryKeys, (QStringList{"TB_AGENDA.AGE_CODIGO", "TB_LEMBRETES.LEM_CODIGO"}));

    Statement configuration(transaction, QStringLiteral("select * from TB_CONFIGURACOES"));
    configuration.execute();
    QVERIFY(configuration.fetchNext());
    QCOMPARE(configuration.value(QStringLiteral("CFG_SKIN")).toString(), QStringLiteral("Nenhum"));
    QCOMPARE(configuration.value(QStringLiteral("CFG_STARTWINDOWS")).toString(),
             QStringLiteral("N"));
    QCOMPARE(configuration.value(QStringLiteral("CFG_STARTMINIMIZADO")).toString(),
             QStringLiteral("N"));
    QCOMPARE(configuration.value(QStringLiteral("CFG_IDIOMA")).toInt(), 2);
    QVERIFY(!configuration.fetchNext());
}

void TestCreateDb::refusesAnExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("OLD.FDB"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();

    const Run run = createDb(path);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.errors.contains(QLatin1String("already exists")), qPrintable(run.errors));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestCreateDb::reportsTheDatabaseMessage()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/X.FDB"));
    const Run run = createDb(path);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.errors.contains(QLatin1String("I/O error")), qPrintable(run.errors));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestCreateDb)
#include "tst_createdb.moc"
