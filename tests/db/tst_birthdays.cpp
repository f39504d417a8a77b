#include "db/Connection.h"
#include "db/DatabaseCreator.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "support/TempDatabase.h"

#include <QDateTime>
#include <QTest>

#include <memory>

// The birthday procedure, called as the birthday window calls it.
class TestBirthdays : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void period_data();
    void period();
    void outputsInOrderAndWidth();
    void anOlderDatabaseGetsTheIndex();

private:
    std::unique_ptr<TempDatabase> db_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Transaction> transaction_;
};

void TestBirthdays::initTestCase()
{
    db_ = std::make_unique<TempDatabase>();
    QVERIFY2(db_->isValid(), qPrintable(db_->error()));
    connection_ = std::make_unique<Connection>(db_->path());
    connection_->open();
    transaction_ = std::make_unique<Transaction>(*connection_);

    const QList<QPair<QString, QVariant>> contacts = {
        {"Dez21", QDate(1980, 12, 21)}, {"Jan05", QDate(1990, 1, 5)},
        {"Jun15", QDate(1975, 6, 15)},  {"Fev29", QDate(1988, 2, 29)},
        {"Fev28", QDate(1970, 2, 28)},  {"Mar01", QDate(1985, 3, 1)},
        {"SemData", QVariant()},        {"Jan10", QDate(2000, 1, 10)},
        {"Dez20", QDate(1995, 12, 20)}, {"Jan11", QDate(1999, 1, 11)},
        {"Mar05a", QDate(1960, 3, 5)},  {"Mar05b", QDate(2001, 3, 5)},
    };
    Statement insert(*transaction_, QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME, "
                                                   "AGE_DATANASC) values (:C, :N, :D)"));
    for (int i = 0; i < contacts.size(); ++i) {
        insert.setParameter(QStringLiteral("C"), i + 1);
        insert.setParameter(QStringLiteral("N"), contacts[i].first);
        insert.setParameter(QStringLiteral("D"), contacts[i].second);
        insert.execute();
    }
    transaction_->commitRetaining();
}

void TestBirthdays::cleanupTestCase()
{
    transaction_.reset();
    connection_.reset();
    db_.reset();
}

void TestBirthdays::period_data()
{
    QTest::addColumn<QVariant>("from");
    QTest::addColumn<QVariant>("to");
    QTest::addColumn<QStringList>("names"); // in month-and-day order

    auto day = [](int y, int m, int d, QTime t = QTime(0, 0)) {
        return QVariant(QDateTime(QDate(y, m, d), t));
    };
    const QStringList everyone = {"Jan05",  "Jan10",  "Jan11", "Fev28", "Fev29", "Mar01",
                                  "Mar05a", "Mar05b", "Jun15", "Dez20", "Dez21"};

    QTest::addRow("crosses the end of a year into 28 February without a leap day")
        << day(2026, 12, 1) << day(2027, 2, 28)
        << QStringList{"Jan05", "Jan10", "Jan11", "Fev28", "Fev29", "Dez20", "Dez21"};
    QTest::addRow("crosses the end of a year")
        << day(2026, 12, 20) << day(2027, 1, 10) << QStringList{"Jan05", "Jan10", "Dez20", "Dez21"};
    QTest::addRow("one day, times of day ignored")
        << day(2026, 6, 15, QTime(23, 59, 59, 681)) << day(2026, 6, 15, QTime(0, 0, 0, 681))
        << QStringList{"Jun15"};
    QTest::addRow("longer than a year") << day(2025, 1, 1) << day(2026, 1, 2) << everyone;
    QTest::addRow("a year from 1 March") << day(2026, 3, 1) << day(2027, 2, 28) << everyone;
    QTest::addRow("28 February, no leap day that year")
        << day(2027, 2, 28) << day(2027, 2, 28) << QStringList{"Fev28", "Fev29"};
    QTest::addRow("28 February of a leap year")
        << day(2028, 2, 28) << day(2028, 2, 28) << QStringList{"Fev28"};
    QTest::addRow("29 February of a leap year")
        << day(2028, 2, 29) << day(2028, 2, 29) << QStringList{"Fev29"};
    QTest::addRow("1 March after a year without leap day")
        << day(2027, 3, 1) << day(2027, 3, 1) << QStringList{"Mar01"};
    QTest::addRow("same day, different years, side by side")
        << day(2026, 3, 1) << day(2026, 3, 31) << QStringList{"Mar01", "Mar05a", "Mar05b"};
    QTest::addRow("ends before it begins")
        << day(2027, 1, 10) << day(2026, 12, 20) << QStringList{};
    QTest::addRow("NULL bounds") << QVariant() << QVariant() << QStringList{};
    QTest::addRow("NULL end") << day(2026, 1, 1) << QVariant() << QStringList{};
}

void TestBirthdays::period()
{
    QFETCH(QVariant, from);
    QFETCH(QVariant, to);

    Statement query(
        *transaction_,
        QStringLiteral("Select distinct * from SP_Aniversariantes(:DataInicio, :DataFim)\n"
                       "Order by Extract(Month from Age_DataNasc), "
                       "Extract(Day from Age_DataNasc), Age_Nome"));
    query.setParameter(0, from);
    query.setParameter(1, to);
    query.execute();
    QStringList names;
    while (query.fetchNext()) {
        QVERIFY(!query.value(QStringLiteral("AGE_DATANASC")).isNull());
        names << query.value(QStringLiteral("AGE_NOME")).toString();
    }
    QTEST(names, "names");
}

void TestBirthdays::outputsInOrderAndWidth()
{
    Statement query(*transaction_,
                    QStringLiteral("select * from SP_ANIVERSARIANTES(:DataInicio, :DataFim)"));
    const QList<QPair<QString, int>> expected = {
        {"AGE_DATANASC", 0}, {"AGE_NOME", 45}, {"AGE_TELEFONE", 45}, {"AGE_ENDERECO", 45},
        {"AGE_CIDADE", 45},  {"AGE_UF", 2},    {"AGE_CEP", 10}};
    QCOMPARE(query.columnCount(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(query.column(i).name, expected[i].first);
        if (expected[i].second > 0)
            QCOMPARE(query.column(i).length, expected[i].second);
    }
    QCOMPARE(query.column(0).kind, ColumnInfo::Kind::DateTime);
    QCOMPARE(query.parameterNames(), (QStringList{"DATAINICIO", "DATAFIM"}));
}

// A database made before the index existed gets it, and the procedure that reads through it,
// once.
void TestBirthdays::anOlderDatabaseGetsTheIndex()
{
    TempDatabase older;
    QVERIFY2(older.isValid(), qPrintable(older.error()));
    Connection connection(older.path());
    connection.open();
    const auto hasIndex = [&connection] {
        Transaction transaction(connection);
        Statement index(transaction, QStringLiteral("select 1 from RDB$INDICES where "
                                                    "RDB$INDEX_NAME = 'IX_TB_AGENDA_ANIVERSARIO'"));
        index.execute();
        return index.fetchNext();
    };
    {
        Transaction transaction(connection);
        Statement(transaction, QStringLiteral("drop index IX_TB_AGENDA_ANIVERSARIO")).execute();
        transaction.commit();
    }
    QVERIFY(!hasIndex());
    QVERIFY(upgradeAgendaDatabase(connection));
    QVERIFY(hasIndex());
    QVERIFY(!upgradeAgendaDatabase(connection));
}

QTEST_GUILESS_MAIN(TestBirthdays)
#include "tst_birthdays.moc"
