#include "U_DM.h"
#include "db/DatabaseCreator.h"
#include "db/Statement.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"
#include "support/LoopbackServer.h"
#include "support/TempDatabase.h"

#include <QRegularExpression>
#include <QTest>

#include <functional>
#include <memory>

using Steps = std::function<void(DataSet&)>;
Q_DECLARE_METATYPE(Steps)

// Two programs on one database, each with its own data module: two attachments to one file,
// and two clients of a server on loopback. What one station saved is never written over by
// the other's older copy of the row.
class TestStations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void anotherStationsSaveIsNeverUndone_data();
    void anotherStationsSaveIsNeverUndone();

private:
    std::unique_ptr<TDM> station(const QString& connectionString);
    void execute(const QString& sql);
    QStringList stored();

    LoopbackServer server_;
    QString serverProblem_;
    std::unique_ptr<TempDatabase> local_;
    QString connectionString_;
};

namespace {

Steps setField(const char* name, const QVariant& value)
{
    return [name, value](DataSet& contacts) {
        contacts.edit();
        contacts.fieldByName(QString::fromLatin1(name)).setValue(value);
        contacts.post();
    };
}

Steps removeRow()
{
    return [](DataSet& contacts) { contacts.remove(); };
}

Steps moveToSecondRow(Steps then)
{
    return [then](DataSet& contacts) {
        contacts.next();
        then(contacts);
    };
}

Steps both(Steps first, Steps second)
{
    return [first, second](DataSet& contacts) {
        first(contacts);
        second(contacts);
    };
}

} // namespace

void TestStations::initTestCase()
{
    serverProblem_ = server_.start();
}

void TestStations::init()
{
    local_ = std::make_unique<TempDatabase>();
    QVERIFY2(local_->isValid(), qPrintable(local_->error()));
}

void TestStations::cleanup()
{
    DM = nullptr;
    local_.reset();
}

std::unique_ptr<TDM> TestStations::station(const QString& connectionString)
{
    auto dm = std::make_unique<TDM>();
    dm->DB_Agenda.setDatabaseName(connectionString);
    return dm;
}

void TestStations::execute(const QString& sql)
{
    Connection connection(connectionString_);
    connection.open();
    Transaction transaction(connection);
    Statement(transaction, sql).execute();
    transaction.commit();
}

// Every contact as the database holds it, through a third attachment.
QStringList TestStations::stored()
{
    Connection connection(connectionString_);
    connection.open();
    Transaction transaction(connection);
    Statement rows(transaction, QStringLiteral("select AGE_NOME, AGE_TELEFONE, AGE_OBS, "
                                               "AGE_DATANASC from TB_AGENDA order by AGE_CODIGO"));
    rows.execute();
    QStringList result;
    while (rows.fetchNext()) {
        result << QStringLiteral("%1|%2|%3|%4")
                      .arg(rows.value(0).toString(), rows.value(1).toString(),
                           rows.value(2).toString(),
                           rows.value(3).toDateTime().date().toString(Qt::ISODate));
    }
    return result;
}

void TestStations::anotherStationsSaveIsNeverUndone_data()
{
    QTest::addColumn<bool>("throughServer");
    QTest::addColumn<Steps>("first");  // station A, after both have read the rows
    QTest::addColumn<Steps>("second"); // station B, with the copy it read before
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QStringList>("rows");

    const QString bia = QStringLiteral("Bia|||");
    const Steps nothing = [](DataSet&) {};
    const Steps newPhone = setField("AGE_TELEFONE", QStringLiteral("555"));
    for (const bool server : {false, true}) {
        const char* where = server ? "server" : "one file";
        const auto row = [&](const char* name) -> QTestData& {
            return QTest::addRow("%s, %s", where, name);
        };
        row("phone after a name changed elsewhere")
            << server << setField("AGE_NOME", QStringLiteral("Ana Paula")) << newPhone << true
            << QStringList{QStringLiteral("Ana Paula|111|nota|1980-05-17"), bia};
        // The column's collation would take "Aná" for "Ana".
        row("phone after an accent added elsewhere")
            << server << setField("AGE_NOME", QStringLiteral("Aná")) << newPhone << true
            << QStringList{QStringLiteral("Aná|111|nota|1980-05-17"), bia};
        row("phone after the note changed elsewhere")
            << server << setField("AGE_OBS", QStringLiteral("Nota")) << newPhone << true
            << QStringList{QStringLiteral("Ana|111|Nota|1980-05-17"), bia};
        row("phone after the birth date changed elsewhere")
            << server << setField("AGE_DATANASC", QDate(1980, 5, 18)) << newPhone << true
            << QStringList{QStringLiteral("Ana|111|nota|1980-05-18"), bia};
        row("phone after the row was deleted elsewhere")
            << server << removeRow() << newPhone << true << QStringList{bia};
        row("delete after a change elsewhere")
            << server << setField("AGE_TELEFONE", QStringLiteral("222")) << removeRow() << true
            << QStringList{QStringLiteral("Ana|222|nota|1980-05-17"), bia};
        row("own save saved again")
            << server << nothing << both(newPhone, setField("AGE_NOME", QStringLiteral("Ana B")))
            << false << QStringList{QStringLiteral("Ana B|555|nota|1980-05-17"), bia};
        row("another row changed elsewhere")
            << server << moveToSecondRow(setField("AGE_NOME", QStringLiteral("Bianca"))) << newPhone
            << false
            << QStringList{QStringLiteral("Ana|555|nota|1980-05-17"), QStringLiteral("Bianca|||")};
    }
}

void TestStations::anotherStationsSaveIsNeverUndone()
{
    QFETCH(bool, throughServer);
    QFETCH(Steps, first);
    QFETCH(Steps, second);
    QFETCH(bool, refused);
    QFETCH(QStringList, rows);

    if (throughServer) {
        if (!serverProblem_.isEmpty())
            QSKIP(qPrintable(serverProblem_));
        const QString path = server_.filePath(
            QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression("\\W"), "_") +
            QStringLiteral(".FDB"));
        createAgendaDatabase(path);
        connectionString_ = server_.connectionString(path);
    } else {
        connectionString_ = local_->path();
    }
    execute(QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME, AGE_TELEFONE, AGE_OBS, "
                           "AGE_DATANASC) values (1, 'Ana', '111', 'nota', '1980-05-17')"));
    execute(QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME) values (2, 'Bia')"));

    const auto a = station(connectionString_);
    const auto b = station(connectionString_);
    a->Q_Agenda.open();
    b->Q_Agenda.open();
    first(a->Q_Agenda);
    QString error;
    try {
        second(b->Q_Agenda);
    } catch (const Error& e) {
        error = e.message();
    }
    QCOMPARE(error, refused ? ResourceStrings::load(ResourceStrings::RowChanged) : QString());
    QCOMPARE(stored(), rows);
    // The refused change stays marked, to be written by a later save or dropped by a reopen.
    QCOMPARE(b->Q_Agenda.updatesPending(), refused);
    b->Q_Agenda.close();
    b->Q_Agenda.open();
    QVERIFY(!b->Q_Agenda.updatesPending());
}

QTEST_GUILESS_MAIN(TestStations)
#include "tst_stations.moc"
