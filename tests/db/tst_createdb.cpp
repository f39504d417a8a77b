#include "db/Connection.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDir>
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
    void argumentsAreParsed_data();
    void argumentsAreParsed();
    void startsInTheDesktopsLanguage_data();
    void startsInTheDesktopsLanguage();

private:
    struct Run
    {
        int exitCode;
        QString errors;
    };
    // Runs the tool in folder (the working folder) on a desktop in the given locale.
    Run run(const QStringList& args, const QString& folder = QDir::tempPath(),
            const QString& locale = QStringLiteral("pt_BR.UTF-8"));
    Run createDb(const QString& path) { return run({path}); }
    int languageIndex(const QString& path);
};

TestCreateDb::Run TestCreateDb::run(const QStringList& args, const QString& folder,
                                    const QString& locale)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(TARVO_APP_DIR "/tarvo-createdb"), args);
    if (!process.waitForFinished(60000))
        return {-1, QStringLiteral("did not finish")};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

int TestCreateDb::languageIndex(const QString& path)
{
    Connection connection(path);
    connection.open();
    Transaction transaction(connection);
    Statement index(transaction, QStringLiteral("select CFG_IDIOMA from TB_CONFIGURACOES"));
    index.execute();
    return index.fetchNext() ? index.value(0).toInt() : -1;
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
    Statement cache(transaction, QStringLiteral("select MON$PAGE_BUFFERS from MON$DATABASE"));
    cache.execute();
    QVERIFY(cache.fetchNext());
    QCOMPARE(cache.value(0).toInt(), Connection::kCachePages);

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

void TestCreateDb::argumentsAreParsed_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("--help") << QStringList{"--help"} << 0;
    QTest::newRow("--version") << QStringList{"--version"} << 0;
    QTest::newRow("no path") << QStringList{} << 2;
    QTest::newRow("two paths") << QStringList{"A.FDB", "B.FDB"} << 2;
    QTest::newRow("unknown option") << QStringList{"--bogus", "A.FDB"} << 2;
}

// An option is never taken for a file name, and a refused call creates nothing.
void TestCreateDb::argumentsAreParsed()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QTemporaryDir dir;
    const Run result = run(args, dir.path());
    QCOMPARE(result.exitCode, status);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    if (status != 0)
        QVERIFY2(result.errors.contains(QLatin1String("Usage:")), qPrintable(result.errors));
}

void TestCreateDb::startsInTheDesktopsLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("index");
    QTest::newRow("Spanish") << "es_AR.UTF-8" << 0;
    QTest::newRow("English") << "en_GB.UTF-8" << 1;
    QTest::newRow("Portuguese") << "pt_PT.UTF-8" << 2;
    QTest::newRow("German") << "de_DE.UTF-8" << 2;
    QTest::newRow("C") << "C" << 2;
}

void TestCreateDb::startsInTheDesktopsLanguage()
{
    QFETCH(QString, locale);
    QFETCH(int, index);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("NEW.FDB"));
    const Run result = run({path}, dir.path(), locale);
    QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
    QCOMPARE(languageIndex(path), index);
}

QTEST_GUILESS_MAIN(TestCreateDb)
#include "tst_createdb.moc"
