#include "db/BackupFolder.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <memory>

// The tarvo-backup command as a script runs it: its verbs, exit status and output.
class TestBackupCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void makeListVerifyAndRestore();
    void restoreAsksUnlessYes();
    void failures_data();
    void failures();
    void databaseFromTheStartupFile();

private:
    struct Result
    {
        int status = -1;
        QString out;
        QString err;
    };
    Result run(const QStringList& arguments, const QByteArray& input = {},
               const QString& folder = QStringLiteral(TARVO_APP_DIR));
    void addContact(int code);
    BackupCopy makeCopy();

    std::unique_ptr<TempDatabase> database_;
};

void TestBackupCommand::init()
{
    database_ = std::make_unique<TempDatabase>();
    QVERIFY2(database_->isValid(), qPrintable(database_->error()));
}

void TestBackupCommand::cleanup()
{
    database_.reset();
}

TestBackupCommand::Result TestBackupCommand::run(const QStringList& arguments,
                                                 const QByteArray& input, const QString& folder)
{
    QProcess process;
    process.start(folder + QStringLiteral("/tarvo-backup"), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

void TestBackupCommand::addContact(int code)
{
    Connection connection(database_->path());
    connection.open();
    Transaction transaction(connection);
    Statement insert(
        transaction,
        QStringLiteral("INSERT INTO TB_AGENDA (AGE_CODIGO, AGE_NOME) VALUES (:C, 'X')"));
    insert.setParameter(QStringLiteral("C"), code);
    insert.execute();
    transaction.commit();
}

void TestBackupCommand::makeListVerifyAndRestore()
{
    addContact(1);
    addContact(2);
    Result made = run({QStringLiteral("make"), database_->path()});
    QCOMPARE(made.status, 0);
    QVERIFY2(made.out.contains(QStringLiteral("2 contacts, 0 reminders")), qPrintable(made.out));
    const QList<BackupCopy> copies = BackupFolder(database_->path()).copies();
    QCOMPARE(copies.size(), 1);

    const Result listed = run({QStringLiteral("list"), database_->path()});
    QCOMPARE(listed.status, 0);
    QVERIFY(listed.out.contains(copies.first().path));
    QVERIFY(listed.out.contains(QStringLiteral("2 contacts")));

    const Result verified = run({QStringLiteral("verify"), copies.first().path});
    QCOMPARE(verified.status, 0);
    QVERIFY(verified.out.contains(QStringLiteral("2 contacts, 0 reminders")));

    addContact(3);
    const Result restored =
        run({QStringLiteral("restore"), copies.first().path, database_->path(), "--yes"});
    QCOMPARE(restored.status, 0);
    QCOMPARE(countContents(database_->path()).contacts, 2);
    // The replaced database, three contacts, was kept as one more copy.
    const QList<BackupCopy> after = BackupFolder(database_->path()).copies();
    QCOMPARE(after.size(), 2);
    QVERIFY(std::any_of(after.begin(), after.end(), [](const BackupCopy& copy) {
        return copy.beforeRestore && copy.contents.contacts == 3;
    }));
}

void TestBackupCommand::restoreAsksUnlessYes()
{
    const BackupCopy copy = makeCopy();
    addContact(1);
    const Result refused = run({QStringLiteral("restore"), copy.path, database_->path()}, "n\n");
    QCOMPARE(refused.status, 1);
    QVERIFY(refused.out.contains(QStringLiteral("[y/N]")));
    QCOMPARE(countContents(database_->path()).contacts, 1);
    QCOMPARE(BackupFolder(database_->path()).copies().size(), 1);

    const Result accepted = run({QStringLiteral("restore"), copy.path, database_->path()}, "y\n");
    QCOMPARE(accepted.status, 0);
    QCOMPARE(countContents(database_->path()).contacts, 0);
}

BackupCopy TestBackupCommand::makeCopy()
{
    return BackupFolder(database_->path()).makeCopy(QDateTime(QDate(2024, 3, 8), QTime(9, 0)));
}

void TestBackupCommand::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::addRow("no command") << QStringList{} << "too few arguments";
    QTest::addRow("unknown command") << QStringList{"copy"} << "unknown command";
    QTest::addRow("verify without a copy") << QStringList{"verify"} << "too few arguments";
    QTest::addRow("too many") << QStringList{"list", "a", "b"} << "too many arguments";
    QTest::addRow("server database")
        << QStringList{"make", "servidor:/srv/AGENDA.FDB"} << "server's job";
    QTest::addRow("missing database") << QStringList{"make", "/nonexistent/AGENDA.FDB"} << "";
    QTest::addRow("missing copy") << QStringList{"restore", "/nonexistent/c.fbk", "x", "--yes"}
                                  << "does not exist";
    QTest::addRow("damaged copy") << QStringList{"verify", "DAMAGED"} << "";
}

void TestBackupCommand::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    if (arguments.contains(QStringLiteral("DAMAGED"))) {
        const BackupCopy copy = makeCopy();
        QFile file(copy.path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() / 2));
        arguments.replace(1, copy.path);
    }
    const Result result = run(arguments);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.startsWith(QStringLiteral("tarvo-backup: ")), qPrintable(result.err));
    QVERIFY2(result.err.size() > 20, qPrintable(result.err));
    QVERIFY2(result.err.contains(reason), qPrintable(result.err));
}

void TestBackupCommand::databaseFromTheStartupFile()
{
    // The program's folder with the command and its start-up file, as installed.
    const QString folder = database_->folder() + QStringLiteral("/programa");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-backup"),
                        folder + QStringLiteral("/tarvo-backup")));
    QFile ini(folder + QStringLiteral("/BaseAgenda.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[BANCO]\nCAMINHO=" + database_->path().toUtf8() + "\n");
    ini.close();

    QCOMPARE(run({QStringLiteral("make")}, {}, folder).status, 0);
    const Result listed = run({QStringLiteral("list")}, {}, folder);
    QCOMPARE(listed.status, 0);
    QCOMPARE(listed.out.count(QStringLiteral(".fbk")), 1);
}

QTEST_GUILESS_MAIN(TestBackupCommand)
#include "tst_backupcommand.moc"
