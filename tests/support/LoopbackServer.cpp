#include "support/LoopbackServer.h"

#include "db/Connection.h"
#include "db/DatabaseCreator.h"
#include "db/DbError.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

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

LoopbackServer::~LoopbackServer()
{
    stop();
}

QString LoopbackServer::connectionString(const QString& path) const
{
    return QStringLiteral("localhost/%1:%2").arg(port_).arg(path);
}

QString LoopbackServer::prepareConfiguration()
{
    if (!dir_.isValid())
        return QStringLiteral("no temporary folder");
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

// SYSDBA with the program's fixed password, made by isql through the private configuration.
QString LoopbackServer::createSecurityDatabase()
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

QString LoopbackServer::start()
{
    if (!QFile::exists(kServer) || !QFile::exists(kIsql))
        return QStringLiteral("the Firebird server or isql-fb is not installed on this machine");
    QString problem = prepareConfiguration();
    if (problem.isEmpty())
        problem = createSecurityDatabase();
    if (!problem.isEmpty())
        return QStringLiteral("cannot set up a private Firebird server: ") + problem;

    const QString probePath = dir_.filePath(QStringLiteral("PROBE.FDB"));
    try {
        createAgendaDatabase(probePath);
    } catch (const Error& e) {
        return QStringLiteral("cannot create a database: ") + e.message();
    }
    server_.setProcessEnvironment(environment_);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    server_.start(kServer, {});
    if (!server_.waitForStarted())
        return QStringLiteral("the Firebird server cannot be started on this machine");

    // The server answers once a database made beforehand can be attached through it.
    QDeadlineTimer deadline(20000);
    QString lastError;
    while (!deadline.hasExpired() && server_.state() == QProcess::Running) {
        try {
            Connection probe(connectionString(probePath));
            probe.open();
            return {};
        } catch (const DbError& e) {
            lastError = e.message();
        }
        QThread::msleep(200);
    }
    const QString output = QString::fromLocal8Bit(server_.readAll());
    stop();
    return QStringLiteral("the Firebird server did not come up: %1 %2").arg(lastError, output);
}

void LoopbackServer::stop()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    ::kill(static_cast<pid_t>(server_.processId()), SIGTERM);
    if (!server_.waitForFinished(20000)) {
        server_.kill();
        server_.waitForFinished();
    }
}
