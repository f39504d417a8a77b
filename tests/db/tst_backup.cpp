#include "db/BackupFolder.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void copyIsVerifiedAndNamedForWhatItHolds();
    void aCopyLargerThanOnePieceOfInputIsVerified();
    void damagedCopyIsRemovedAndReported();
    void restoreBringsBackTheCopyInOneStep();
    void failedRestoreLeavesTheDatabase();
    void keepRule_data();
    void keepRule();
    void serverPaths_data();
    void serverPaths();

private:
    void execute(const QString& sql);

    std::unique_ptr<TempDatabase> database_;
    const QDateTime moment_{QDate(2024, 3, 8), QTime(9, 30, 15)};
};

void TestBackup::init()
{
    database_ = std::make_unique<TempDatabase>();
    QVERIFY2(database_->isValid(), qPrintable(database_->error()));
}

void TestBackup::cleanup()
{
    database_.reset();
}

void TestBackup::execute(const QString& sql)
{
    Connection connection(database_->path());
    connection.open();
    Transaction transaction(connection);
    Statement statement(transaction, sql);
    statement.execute();
    transaction.commit();
}

void TestBackup::copyIsVerifiedAndNamedForWhatItHolds()
{
    execute(QStringLiteral("INSERT INTO TB_AGENDA (AGE_CODIGO, AGE_NOME) VALUES (1, 'ANA')"));
    execute(QStringLiteral("INSERT INTO TB_AGENDA (AGE_CODIGO, AGE_NOME) VALUES (2, 'JOÃO')"));
    execute(QStringLiteral("INSERT INTO TB_LEMBRETES (LEM_CODIGO, LEM_MENSAGEM) VALUES (1, 'X')"));

    BackupFolder folder(database_->path());
    QVERIFY(!folder.hasDailyCopyOf(moment_.date()));
    const BackupCopy copy = folder.makeCopy(moment_);

    QCOMPARE(copy.path,
             database_->folder() + QStringLiteral("/copias/agenda-2024-03-08-093015-c2-l1.fbk"));
    QCOMPARE(copy.madeAt, moment_);
    QCOMPARE(copy.contents.contacts, 2);
    QCOMPARE(copy.contents.reminders, 1);
    QVERIFY(copy.size > 0);
    QVERIFY(!copy.beforeRestore);
    QVERIFY(folder.hasDailyCopyOf(moment_.date()));
    // What the name says is what the copy holds.
    const AgendaContents verified = verifyCopy(copy.path);
    QCOMPARE(verified.contacts, 2);
    QCOMPARE(verified.reminders, 1);
    // Only finished copies are listed; nothing half-written stays behind.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestBackup::aCopyLargerThanOnePieceOfInputIsVerified()
{
    // Well over the 64 KiB a single piece of the restore's input could hold.
    {
        Connection connection(database_->path());
        connection.open();
        Transaction transaction(connection);
        Statement insert(transaction, QStringLiteral("INSERT INTO TB_AGENDA (AGE_CODIGO, AGE_NOME, "
                                                     "AGE_ENDERECO) VALUES (:K, :N, :E)"));
        for (int code = 1; code <= 3000; ++code) {
            insert.setParameter(QStringLiteral("K"), code);
            insert.setParameter(QStringLiteral("N"), QStringLiteral("CONTATO %1").arg(code));
            insert.setParameter(QStringLiteral("E"),
                                QStringLiteral("RUA DAS FLORES, %1").arg(code));
            insert.execute();
        }
        transaction.commit();
    }
    const BackupCopy copy = BackupFolder(database_->path()).makeCopy(moment_);
    QVERIFY(copy.size > 2 * 64 * 1024);
    QCOMPARE(copy.contents.contacts, 3000);
    QCOMPARE(verifyCopy(copy.path).contacts, 3000);
}

void TestBackup::damagedCopyIsRemovedAndReported()
{
    BackupFolder folder(database_->path());
    folder.afterWriting = [](const QString& copyFile) {
        QFile file(copyFile);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.resize(file.size() / 2);
    };
    QVERIFY_THROWS_EXCEPTION(DbError, folder.makeCopy(moment_));
    QVERIFY(folder.copies().isEmpty());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

void TestBackup::restoreBringsBackTheCopyInOneStep()
{
    execute(QStringLiteral("INSERT INTO TB_AGENDA (AGE_CODIGO, AGE_NOME) VALUES (1, 'ANA')"));
    BackupFolder folder(database_->path());
    const BackupCopy copy = folder.makeCopy(moment_);
    execute(QStringLiteral("DELETE FROM TB_AGENDA"));
    QCOMPARE(countContents(database_->path()).contacts, 0);

    {
        PendingRestore restore(copy.path, database_->path());
        // Nothing changes until it is installed.
        QCOMPARE(countContents(database_->path()).contacts, 0);
        restore.install();
    }
    QCOMPARE(countContents(database_->path()).contacts, 1);
    QVERIFY(!QFile::exists(database_->path() + QStringLiteral(".restaurando")));

    // Dropped, not installed: the database stays as it is.
    {
        const PendingRestore dropped(copy.path, database_->path());
    }
    QVERIFY(!QFile::exists(database_->path() + QStringLiteral(".restaurando")));
}

void TestBackup::failedRestoreLeavesTheDatabase()
{
    const QString notACopy = database_->folder() + QStringLiteral("/nada.fbk");
    QFile file(notACopy);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a backup");
    file.close();
    QVERIFY_THROWS_EXCEPTION(DbError, PendingRestore(notACopy, database_->path()));
    QVERIFY(!QFile::exists(database_->path() + QStringLiteral(".restaurando")));
    QCOMPARE(countContents(database_->path()).contacts, 0);
}

void TestBackup::keepRule_data()
{
    QTest::addColumn<QList<int>>("days"); // days of March 2024 with a copy at noon
    QTest::addColumn<QList<int>>("kept");
    // 1 March 2024 is a Friday; the weeks start on the 4th, 11th, 18th and 25th.
    QTest::addRow("fewer than the rule keeps") << QList<int>{1, 2, 3} << QList<int>{3, 2, 1};
    QTest::addRow("a month, one a day") << [] {
        QList<int> days;
        for (int day = 1; day <= 30; ++day)
            days << day;
        return days;
    }() << QList<int>{30, 29, 28, 27, 26, 25, 24, 17, 10};
    QTest::addRow("gaps: the last days that have copies")
        << QList<int>{1, 5, 9, 13, 17, 21, 25, 29} << QList<int>{29, 25, 21, 17, 13, 9, 5};
    QTest::addRow("two a day: the newer one") << QList<int>{4, 4} << QList<int>{4};
}

void TestBackup::keepRule()
{
    QFETCH(QList<int>, days);
    QFETCH(QList<int>, kept);
    QList<QDateTime> moments;
    int minute = 0;
    for (int day : days)
        moments << QDateTime(QDate(2024, 3, day), QTime(12, minute++));
    QList<int> keptDays;
    for (const QDateTime& moment : momentsToKeep(moments, 7, 4))
        keptDays << moment.date().day();
    std::sort(keptDays.begin(), keptDays.end(), std::greater<>());
    QCOMPARE(keptDays, kept);
}

void TestBackup::serverPaths_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<bool>("onServer");
    QTest::addRow("absolute path") << "/home/ana/AGENDA.FDB" << false;
    QTest::addRow("relative path") << "dados/AGENDA.FDB" << false;
    QTest::addRow("colon inside a file name") << "/home/ana/a:b.fdb" << false;
    QTest::addRow("drive letter") << "C:\\Agenda\\AGENDA.FDB" << false;
    QTest::addRow("host") << "servidor:/srv/AGENDA.FDB" << true;
    QTest::addRow("host and port") << "localhost/3051:/srv/AGENDA.FDB" << true;
    QTest::addRow("url") << "inet://servidor/srv/AGENDA.FDB" << true;
    QTest::addRow("share") << "\\\\servidor\\dados\\AGENDA.FDB" << true;
}

void TestBackup::serverPaths()
{
    QFETCH(QString, database);
    QFETCH(bool, onServer);
    QCOMPARE(isServerPath(database), onServer);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
