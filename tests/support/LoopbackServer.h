#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real Firebird server on loopback with a private configuration and its own security
// database, so the machine's own server and files are never touched. It ends with its owner,
// and with the test process however that ends.
class LoopbackServer
{
public:
    LoopbackServer() = default;
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Starts the server and waits until it accepts attachments. Returns why it could not,
    // or an empty text when it runs.
    QString start();
    bool isRunning() const { return server_.state() == QProcess::Running; }

    // A database file in the server's private folder.
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    // How a shared database at path is named: "localhost/PORT:/path".
    QString connectionString(const QString& path) const;

private:
    QString prepareConfiguration();
    QString createSecurityDatabase();
    void stop();

    QTemporaryDir dir_;
    QProcessEnvironment environment_;
    QProcess server_;
    quint16 port_ = 0;
};
