#include "db/Connection.h"
#include "db/DatabaseCreator.h"
#include "db/DbError.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

// A real Firebird server on loopback with a private configuration, reached through
// "localhost/PORT:/path" as a shared database is.
class TestServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void readsAndWritesThroughTheServer();
    void wrongCredentialsGiveTheServerMessage();

private:
    QString prepareConfiguration();
    QString createSecurityDatabase();
    QString connectionString() const;

    QTemporaryDir dir_;
    QProcessEnvironment environment_;
    QProcess server_;
    quint16 port_ = 0;
    QString database_;
};

namespace {

const QString kServer = QStringLiteral("/usr/sbin/firebird");
const QString kIsql = QStringLiteral("/usr/bin/isql-fb");
const QStringList kRoots = {QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0"),
                            QStringLiteral("/usr/lib/firebird/3.0")};

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

QString TestServer::prepareConfiguration()
{
    QString root;
    for (const QString& candidate : kRoots) {
        if (QFile::exists(candidate + QStringLiteral("/plugins/libEngine12.so")))
            root = candidate;
    }
    if (root.isEmpty())
        return QStringLiteral("the Firebird engine plugins are not installed");
    for (const char* entry : {"plugins", "firebird.msg", "intl/fbintl.conf"}) {
        const QString name = QString::fromLatin1(entry);
        QDir(dir_.path()).mkpath(QFileInfo(dir_.filePath(name)).path());
        if (!QFile::link(root + u'/' + name, dir_.filePath(name)))
            return QStringLiteral("cannot link %1 into the private configuration").arg(name);
    }
    // The engine finds its character sets only when the module's real path lies under the
    // root, so this one is a copy, not a link.
    if (!QFile::copy(root + QStringLiteral("/intl/libfbintl.so"),
                     dir_.filePath(QStringLiteral("intl/libfbintl.so"))))
        return QStringLiteral("cannot copy the character set module");
    port_ = freeLoopbackPort();
    if (port_ == 0)
        return QStringLiteral("no free loopback port");
    QFile conf(dir_.filePath(QStringLiteral("firebird.conf")));
    if (!conf.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write firebird.conf");
    conf.write(QStringLiteral("RemoteServicePort = %1\n"
                              "RemoteBindAddress = 127.0.0.1\n"
                              "SecurityDatabase = %2\n"
                              "ServerMode = Super\n")
                   .arg(port_)
                   .arg(dir_.filePath(QStringLiteral("security3.fdb")))
                   .toLocal8Bit());
    conf.close();
    QDir(dir_.path()).mkdir(QStringLiteral("lock"));

    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert(QStringLiteral("FIREBIRD"), dir_.path());
    environment_.insert(QStringLiteral("FIREBIRD_LOCK"), dir_.filePath(QStringLiteral("lock")));
    return {};
}

// The server's own security database with SYSDBA's fixed password, made by isql through the
// private configuration, so the machine's own one is never touched.
QString TestServer::createSecurityDatabase()
{
    QProcess isql;
    isql.setProcessEnvironment(environment_);
    isql.start(kIsql, {QStringLiteral("-q")});
    if (!isql.waitForStarted())
        return QStringLiteral("isql-fb cannot be started");
    isql.write(QStringLiteral("create database '%1' user 'SYSDBA';\n"
                              "create user SYSDBA password '%2';\n"
                              "commit;\nquit;\n")
                   .arg(dir_.filePath(QStringLiteral("security3.fdb")),
                        QString::fromLatin1(Connection::kPassword))
                   .toLocal8Bit());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000) || isql.exitCode() != 0)
        return QStringLiteral("isql-fb could not create the security database: %1")
            .arg(QString::fromLocal8Bit(isql.readAllStandardError()));
    return {};
}

QString TestServer::connectionString() const
{
    return QStringLiteral("localhost/%1:%2").arg(port_).arg(database_);
}

void TestServer::initTestCase()
{
    if (!QFile::exists(kServer) || !QFile::exists(kIsql))
        QSKIP("the Firebird server or isql-fb is not installed on this machine");
    QVERIFY(dir_.isValid());
    QString problem = prepareConfiguration();
    if (problem.isEmpty())
        problem = createSecurityDatabase();
    if (!problem.isEmpty())
        QSKIP(qPrintable(QStringLiteral("cannot set up a private Firebird server: ") + problem));

    database_ = dir_.filePath(QStringLiteral("SHARED.FDB"));
    createAgendaDatabase(database_);

    server_.setProcessEnvironment(environment_);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    // The server ends with this test process, however the test ends.
    server_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    server_.start(kServer, {});
    if (!server_.waitForStarted())
        QSKIP("the Firebird server cannot be started on this machine");

    // Wait for the server to accept attachments.
    QDeadlineTimer deadline(20000);
    QString lastError;
    while (!deadline.hasExpired()) {
        try {
            Connection probe(connectionString());
            probe.open();
            return;
        } catch (const DbError& e) {
            lastError = e.message();
        }
        if (server_.state() == QProcess::NotRunning)
            break;
        QThread::msleep(200);
    }
    const QString output = QString::fromLocal8Bit(server_.readAll());
    QSKIP(qPrintable(
        QStringLiteral("the Firebird server did not come up: %1 %2").arg(lastError, output)));
}

void TestServer::cleanupTestCase()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    ::kill(static_cast<pid_t>(server_.processId()), SIGTERM);
    if (!server_.waitForFinished(20000)) {
        server_.kill();
        server_.waitForFinished();
    }
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
