#include "db/SqlParameters.h"
#include "db/SqlScript.h"

#include <QTest>

class TestSqlText : public QObject
{
    Q_OBJECT

private slots:
    void namedParameters_data();
    void namedParameters();
    void scriptSplitting();
};

void TestSqlText::namedParameters_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("positional");
    QTest::addColumn<QStringList>("byPosition");
    QTest::addColumn<QStringList>("distinct");

    QTest::addRow("one") << "select * from t where a = :DATA"
                         << "select * from t where a = ?" << QStringList{"DATA"}
                         << QStringList{"DATA"};
    QTest::addRow("case-insensitive, repeated")
        << "a = :Nome or b = :NOME or c = :x1"
        << "a = ? or b = ? or c = ?" << QStringList{"NOME", "NOME", "X1"}
        << QStringList{"NOME", "X1"};
    QTest::addRow("colon in literals and comments")
        << "select ':A', 'it''s :B', \":C\" /* :D */ -- :E\n from t where x = :F"
        << "select ':A', 'it''s :B', \":C\" /* :D */ -- :E\n from t where x = ?" << QStringList{"F"}
        << QStringList{"F"};
    QTest::addRow("colon not followed by a name")
        << "select a:1, b: 2 from t"
        << "select a:1, b: 2 from t" << QStringList{} << QStringList{};
    QTest::addRow("name with underscore, next to punctuation")
        << "(:OLD_AGE_CODIGO,:AGE_NOME)"
        << "(?,?)" << QStringList{"OLD_AGE_CODIGO", "AGE_NOME"}
        << QStringList{"OLD_AGE_CODIGO", "AGE_NOME"};
}

void TestSqlText::namedParameters()
{
    QFETCH(QString, sql);
    const PositionalSql result = toPositionalSql(sql);
    QTEST(result.sql, "positional");
    QTEST(result.namesByPosition, "byPosition");
    QTEST(result.distinctNames, "distinct");
}

void TestSqlText::scriptSplitting()
{
    const QString script = QStringLiteral("/* header; with a semicolon */\n"
                                          "CREATE TABLE A (X VARCHAR(5) DEFAULT ';');\n"
                                          "-- a comment; here\n"
                                          "SET TERM ^ ;\n"
                                          "CREATE PROCEDURE P AS BEGIN X = 1; Y = 2; END^\n"
                                          "SET TERM ; ^\n"
                                          "INSERT INTO A VALUES ('a;b');\n"
                                          "  \n");
    const QStringList statements = splitSqlScript(script);
    QCOMPARE(statements.size(), 3);
    QCOMPARE(statements[0], QStringLiteral("CREATE TABLE A (X VARCHAR(5) DEFAULT ';')"));
    QCOMPARE(statements[1], QStringLiteral("CREATE PROCEDURE P AS BEGIN X = 1; Y = 2; END"));
    QCOMPARE(statements[2], QStringLiteral("INSERT INTO A VALUES ('a;b')"));
}

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
