#include "db/Connection.h"
#include "db/DatabaseCreator.h"
#include "db/DbError.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "support/LoopbackServer.h"

#include <QTest>

// A real Firebird server on loopback, reached through "localhost/PORT:/path" as a shared
// database is.
class TestServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsAndWritesThroughTheServer();
    void wrongCredentialsGiveTheServerMessage();

private:
    QString connectionString() const { return server_.connectionString(database_); }

    LoopbackServer server_;
    QString database_;
};

void TestServer::initTestCase()
{
    if (const QString problem = server_.start(); !problem.isEmpty())
        QSKIP(qPrintable(problem));
    database_ = server_.filePath(QStringLiteral("SHARED.FDB"));
    createAgendaDatabase(database_);
}

void TestServer::readsAndWritesThroughTheServer()
{
    {
        Connection connection(connectionString());
        connection.open();
        Transaction transaction(connection);
        Statement insert(transaction, QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME) "
                                                     "values (1, :NOME)"));
        insert.setParameter(QStringLiteral("NOME"), QStringLiteral("Conceição"));
        insert.execute();
        transaction.commitRetaining();
    }
    Connection connection(connectionString());
    connection.open();
    Transaction transaction(connection);
    Statement query(transaction, QStringLiteral("select AGE_NOME from TB_AGENDA"));
    query.execute();
    QVERIFY(query.fetchNext());
    QCOMPARE(query.value(0).toString(), QStringLiteral("Conceição"));
}

void TestServer::wrongCredentialsGiveTheServerMessage()
{
    FbXpb dpb(Firebird::IXpbBuilder::DPB);
    dpb.string(isc_dpb_user_name, "SYSDBA").string(isc_dpb_password, "wrong");
    const QByteArray name = connectionString().toLocal8Bit();
    try {
        FbStatus status;
        FbRef<Firebird::IAttachment> attachment(FbClient::instance().provider()->attachDatabase(
            &status, name.constData(), dpb.length(), dpb.buffer()));
        QFAIL("the server accepted a wrong password");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(QLatin1String("user name and password are not defined")),
                 qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
