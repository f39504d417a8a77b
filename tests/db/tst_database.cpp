#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/DbError.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/CodePage.h"
#include "support/TempDatabase.h"

#include <QDateTime>
#include <QTest>

#include <memory>

// The client layer against a real embedded database, fresh for each test.
class TestDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dateWithTimeTextCastsBackToThatMoment();
    void dueReminderComparison_data();
    void dueReminderComparison();
    void namedParametersBindByName();
    void textBlobsRoundTrip();
    void accentedTextRoundTripsByteForByte();
    void collationFoldsCaseAndAccents();
    void generatorsAndTheGapOfADiscardedValue();
    void commitRetainingIsVisibleAtOnceAndKeepsTheTransaction();
    void writeOnALockedRowFailsAtOnce();
    void wrongPathGivesTheDatabaseMessage();
    void rowsAreFetchedOnDemand();
    void aDataSetHoldsEachValueAsRead_data();
    void aDataSetHoldsEachValueAsRead();

private:
    void insertContact(int code, const QString& name);
    QStringList names(const QString& sql, const QVariantMap& parameters = {});

    std::unique_ptr<TempDatabase> db_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Transaction> transaction_;
};

void TestDatabase::init()
{
    db_ = std::make_unique<TempDatabase>();
    QVERIFY2(db_->isValid(), qPrintable(db_->error()));
    connection_ = std::make_unique<Connection>(db_->path());
    connection_->open();
    transaction_ = std::make_unique<Transaction>(*connection_);
    transaction_->start();
}

void TestDatabase::cleanup()
{
    transaction_.reset();
    connection_.reset();
    db_.reset();
}

void TestDatabase::insertContact(int code, const QString& name)
{
    Statement insert(
        *transaction_,
        QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME) values (:C, :N)"));
    insert.setParameter(QStringLiteral("C"), code);
    insert.setParameter(QStringLiteral("N"), name);
    insert.execute();
    QCOMPARE(insert.affectedRows(), 1);
}

QStringList TestDatabase::names(const QString& sql, const QVariantMap& parameters)
{
    Statement query(*transaction_, sql);
    for (auto it = parameters.begin(); it != parameters.end(); ++it)
        query.setParameter(it.key(), it.value());
    query.execute();
    QStringList result;
    while (query.fetchNext())
        result << query.value(0).toString();
    return result;
}

void TestDatabase::dateWithTimeTextCastsBackToThatMoment()
{
    Statement insert(*transaction_,
                     QStringLiteral("insert into TB_LEMBRETES (LEM_CODIGO, LEM_DATA, LEM_HORA) "
                                    "values (1, :D, '14:30')"));
    insert.setParameter(QStringLiteral("D"), QDate(2026, 3, 9));
    insert.execute();

    Statement query(*transaction_,
                    QStringLiteral("select LEM_DATA, CAST(LEM_DATA || ' ' || LEM_HORA AS DATE) "
                                   "from TB_LEMBRETES"));
    query.execute();
    QVERIFY(query.fetchNext());
    QCOMPARE(query.value(0).toDateTime(), QDateTime(QDate(2026, 3, 9), QTime(0, 0)));
    QCOMPARE(query.value(1).toDateTime(), QDateTime(QDate(2026, 3, 9), QTime(14, 30)));
}

void TestDatabase::dueReminderComparison_data()
{
    QTest::addColumn<QVariant>("date");
    QTest::addColumn<QVariant>("time");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<bool>("due");

    const QDate today(2026, 12, 10);
    const QVariant todayValue = QVariant(today);
    QTest::addRow("yesterday 23:59, now") << QVariant(today.addDays(-1)) << QVariant("23:59")
                                          << QDateTime(today, QTime(0, 0, 1)) << true;
    QTest::addRow("yesterday 23:59, a month on")
        << QVariant(today.addDays(-1)) << QVariant("23:59")
        << QDateTime(today.addMonths(1), QTime(8, 0)) << true;
    QTest::addRow("14:30, at 14:29:59")
        << todayValue << QVariant("14:30") << QDateTime(today, QTime(14, 29, 59)) << false;
    QTest::addRow("14:30, at 14:30:00")
        << todayValue << QVariant("14:30") << QDateTime(today, QTime(14, 30, 0)) << true;
    QTest::addRow("14:30, at 14:30:01")
        << todayValue << QVariant("14:30") << QDateTime(today, QTime(14, 30, 1)) << true;
    QTest::addRow("tomorrow 00:00") << QVariant(today.addDays(1)) << QVariant("00:00")
                                    << QDateTime(today, QTime(23, 59, 59)) << false;
    QTest::addRow("NULL date") << QVariant() << QVariant("00:00")
                               << QDateTime(today.addYears(10), QTime(0, 0)) << false;
    QTest::addRow("NULL time") << QVariant(today.addDays(-5)) << QVariant()
                               << QDateTime(today.addYears(10), QTime(0, 0)) << false;
}

void TestDatabase::dueReminderComparison()
{
    QFETCH(QVariant, date);
    QFETCH(QVariant, time);
    QFETCH(QDateTime, moment);
    QFETCH(bool, due);

    Statement insert(*transaction_,
                     QStringLiteral("insert into TB_LEMBRETES (LEM_CODIGO, LEM_DATA, LEM_HORA) "
                                    "values (7, :LEM_DATA, :LEM_HORA)"));
    insert.setParameter(QStringLiteral("LEM_DATA"), date);
    insert.setParameter(QStringLiteral("LEM_HORA"), time);
    insert.execute();

    Statement query(*transaction_,
                    QStringLiteral("SELECT * FROM TB_LEMBRETES WHERE "
                                   "CAST(LEM_DATA || ' ' || LEM_HORA AS DATE) <= :DATAEHORA"));
    query.setParameter(QStringLiteral("DATAEHORA"), moment);
    query.execute();
    QCOMPARE(query.fetchNext(), due);
}

void TestDatabase::namedParametersBindByName()
{
    insertContact(1, QStringLiteral("Ana"));
    insertContact(2, QStringLiteral("Bia"));
    // The same name twice, in two cases, and a colon inside a literal.
    QCOMPARE(
        names(QStringLiteral(
                  "select AGE_NOME || ':x' from TB_AGENDA "
                  "where (AGE_NOME = :nome or AGE_CIDADE = :NOME) and AGE_CODIGO > :Codigo "
                  "order by AGE_CODIGO"),
              {{QStringLiteral("NOME"), QStringLiteral("Bia")}, {QStringLiteral("codigo"), 1}}),
        QStringList{QStringLiteral("Bia:x")});

    Statement query(*transaction_, QStringLiteral("select 1 from RDB$DATABASE where 1 = :ONE"));
    QCOMPARE(query.parameterNames(), QStringList{QStringLiteral("ONE")});
    QVERIFY_THROWS_EXCEPTION(DbError, query.setParameter(QStringLiteral("TWO"), 2));
    // An unset parameter is NULL.
    query.execute();
    QVERIFY(!query.fetchNext());
}

void TestDatabase::textBlobsRoundTrip()
{
    QString longText;
    for (int i = 0; i < 20000; ++i)
        longText += QStringLiteral("linha %1 ção\n").arg(i);
    const QVariantList values = {QVariant(longText), QVariant(QString()), QVariant()};
    for (int i = 0; i < values.size(); ++i) {
        Statement insert(*transaction_,
                         QStringLiteral("insert into TB_LEMBRETES "
                                        "(LEM_CODIGO, LEM_MENSAGEM) values (:C, :M)"));
        insert.setParameter(QStringLiteral("C"), i);
        insert.setParameter(QStringLiteral("M"), values[i]);
        insert.execute();
    }
    Statement query(*transaction_,
                    QStringLiteral("select LEM_MENSAGEM from TB_LEMBRETES order by LEM_CODIGO"));
    QCOMPARE(query.column(0).kind, ColumnInfo::Kind::TextBlob);
    query.execute();
    QVERIFY(query.fetchNext());
    QCOMPARE(query.value(0).toString(), longText);
    QVERIFY(query.fetchNext());
    QVERIFY(!query.value(0).isNull());
    QCOMPARE(query.value(0).toString(), QString());
    QVERIFY(query.fetchNext());
    QVERIFY(query.value(0).isNull());
}

void TestDatabase::accentedTextRoundTripsByteForByte()
{
    const QString text = QStringLiteral("Açougue Estrela, Florianópolis");
    insertContact(1, text);
    Statement query(*transaction_, QStringLiteral("select AGE_NOME, CAST(AGE_NOME AS VARCHAR(45) "
                                                  "CHARACTER SET OCTETS) from TB_AGENDA"));
    query.execute();
    QVERIFY(query.fetchNext());
    QCOMPARE(query.value(0).toString(), text);
    QCOMPARE(CodePage::toWin1252(query.value(1).toString()),
             QByteArray("A\xE7ougue Estrela, Florian\xF3polis"));
}

void TestDatabase::collationFoldsCaseAndAccents()
{
    insertContact(1, QStringLiteral("Zeca"));
    insertContact(2, QStringLiteral("Sílvia"));
    insertContact(3, QStringLiteral("Álvaro"));
    insertContact(4, QStringLiteral("alberto"));
    insertContact(5, QStringLiteral("José"));

    QCOMPARE(names(QStringLiteral("select Upper(AGE_NOME) from TB_AGENDA where AGE_CODIGO = 2")),
             QStringList{QStringLiteral("SÍLVIA")});
    QCOMPARE(names(QStringLiteral("select AGE_NOME from TB_AGENDA where "
                                  "Upper(AGE_NOME) like :P"),
                   {{QStringLiteral("P"), QStringLiteral("SÍLVIA%")}}),
             QStringList{QStringLiteral("Sílvia")});
    QCOMPARE(names(QStringLiteral("select AGE_NOME from TB_AGENDA where AGE_NOME like :P"),
                   {{QStringLiteral("P"), QStringLiteral("JOSE%")}}),
             QStringList{QStringLiteral("José")});
    QCOMPARE(names(QStringLiteral("SELECT AGE_NOME FROM TB_AGENDA ORDER BY AGE_NOME")),
             (QStringList{"alberto", "Álvaro", "José", "Sílvia", "Zeca"}));
}

void TestDatabase::generatorsAndTheGapOfADiscardedValue()
{
    QCOMPARE(generatorNextValue(*transaction_, QStringLiteral("GEN_AGENDA")), 1);
    QCOMPARE(generatorNextValue(*transaction_, QStringLiteral("gen_agenda")), 2);
    // A value drawn in work that is then rolled back is not given back.
    transaction_->rollback();
    transaction_->start();
    QCOMPARE(generatorNextValue(*transaction_, QStringLiteral("GEN_AGENDA")), 3);
    QCOMPARE(generatorNextValue(*transaction_, QStringLiteral("GEN_LEMBRETES")), 1);
    QVERIFY_THROWS_EXCEPTION(DbError,
                             generatorNextValue(*transaction_, QStringLiteral("X; drop table")));
}

void TestDatabase::commitRetainingIsVisibleAtOnceAndKeepsTheTransaction()
{
    insertContact(1, QStringLiteral("Ana"));
    Statement open(*transaction_, QStringLiteral("select AGE_NOME from TB_AGENDA"));
    open.execute();

    transaction_->commitRetaining();
    QVERIFY(transaction_->isActive());

    Connection second(db_->path());
    second.open();
    Transaction secondTransaction(second);
    Statement query(secondTransaction, QStringLiteral("select AGE_NOME from TB_AGENDA"));
    query.execute();
    QVERIFY(query.fetchNext());
    QCOMPARE(query.value(0).toString(), QStringLiteral("Ana"));

    // The cursor opened before the commit still reads.
    QVERIFY(open.fetchNext());
    QCOMPARE(open.value(0).toString(), QStringLiteral("Ana"));
}

void TestDatabase::writeOnALockedRowFailsAtOnce()
{
    insertContact(1, QStringLiteral("Ana"));
    transaction_->commitRetaining();

    Connection second(db_->path());
    second.open();
    Transaction secondTransaction(second);
    Statement lock(secondTransaction,
                   QStringLiteral("update TB_AGENDA set AGE_NOME = 'Bia' where AGE_CODIGO = 1"));
    lock.execute();

    Statement update(*transaction_,
                     QStringLiteral("update TB_AGENDA set AGE_NOME = 'Cid' where AGE_CODIGO = 1"));
    try {
        update.execute();
        QFAIL("the update of a locked row succeeded");
    } catch (const DbError& e) {
        QCOMPARE(e.code(), isc_deadlock);
        QVERIFY2(e.message().contains(QLatin1String("update conflicts with concurrent update")),
                 qPrintable(e.message()));
    }
}

void TestDatabase::wrongPathGivesTheDatabaseMessage()
{
    const QString path = db_->folder() + QStringLiteral("/missing/NONE.FDB");
    Connection connection(path);
    try {
        connection.open();
        QFAIL("opening a missing database succeeded");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QLatin1String("I/O error")), qPrintable(e.message()));
    }
    QVERIFY(!connection.isOpen());
}

void TestDatabase::rowsAreFetchedOnDemand()
{
    // The second row cannot be converted: reading only the first must not touch it.
    insertContact(1, QStringLiteral("10"));
    insertContact(2, QStringLiteral("not a number"));
    Statement query(*transaction_, QStringLiteral("select CAST(AGE_NOME AS INTEGER) from TB_AGENDA "
                                                  "where AGE_CODIGO > 0 order by AGE_CODIGO"));
    query.execute();
    QVERIFY(query.fetchNext());
    QCOMPARE(query.value(0).toInt(), 10);
    QVERIFY_THROWS_EXCEPTION(DbError, query.fetchNext());
}

void TestDatabase::aDataSetHoldsEachValueAsRead_data()
{
    QTest::addColumn<QString>("expression");

    QTest::newRow("empty text") << "CAST('' AS VARCHAR(10))";
    QTest::newRow("short text") << "CAST('São José' AS VARCHAR(45))";
    QTest::newRow("255 characters") << "CAST(LPAD('x', 255, 'y') AS VARCHAR(300))";
    QTest::newRow("256 characters") << "CAST(LPAD('x', 256, 'y') AS VARCHAR(300))";
    QTest::newRow("longest text") << "CAST(LPAD('x', 32000, 'y') AS VARCHAR(32000))";
    QTest::newRow("fixed-length text") << "CAST('ab' AS CHAR(5))";
    QTest::newRow("null text") << "CAST(NULL AS VARCHAR(10))";
    QTest::newRow("largest integer") << "CAST(2147483647 AS INTEGER)";
    QTest::newRow("smallest integer") << "CAST(-2147483648 AS INTEGER)";
    QTest::newRow("scaled number") << "CAST(-1234567.89 AS NUMERIC(9,2))";
    QTest::newRow("small number") << "CAST(-7 AS SMALLINT)";
    QTest::newRow("null integer") << "CAST(NULL AS INTEGER)";
    QTest::newRow("date") << "CAST('1999-12-31' AS DATE)";
    QTest::newRow("earliest date") << "CAST('0001-01-01' AS DATE)";
    QTest::newRow("timestamp") << "CAST('2026-12-11 18:45:07.5' AS TIMESTAMP)";
    QTest::newRow("double") << "CAST(1.5e300 AS DOUBLE PRECISION)";
    QTest::newRow("boolean") << "TRUE";
}

// Rows are held packed until a value is asked for; every kind of value comes back as the
// statement itself reads it, among others on either side of it.
void TestDatabase::aDataSetHoldsEachValueAsRead()
{
    QFETCH(QString, expression);
    const QString sql =
        QStringLiteral("select 1 as BEFORE_IT, %1 as V, 'after' as AFTER_IT from RDB$DATABASE")
            .arg(expression);
    Statement direct(*transaction_, sql);
    direct.execute();
    QVERIFY(direct.fetchNext());

    DataSet held(*transaction_);
    held.addField(QStringLiteral("BEFORE_IT"), Field::Kind::Integer, 0);
    held.addField(QStringLiteral("V"), Field::Kind::Text, 0);
    held.addField(QStringLiteral("AFTER_IT"), Field::Kind::Text, 5);
    held.setSql(sql);
    held.open();
    QCOMPARE(held.recordCount(), 1);
    QCOMPARE(held.value(0, 1), direct.value(1));
    QCOMPARE(held.isNull(0, 1), direct.value(1).isNull());
    QCOMPARE(held.value(0, 0), direct.value(0));
    QCOMPARE(held.value(0, 2), QVariant(QStringLiteral("after")));
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
