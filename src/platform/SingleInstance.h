#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One running program per user: a second start asks the first to come forward and ends. The
// program's window may be hidden where the desktop shows no tray icon, and a second embedded
// attachment to the same database file would fail anyway.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when the program runs already; it has been asked to come forward.
    bool askRunningToComeForward();
    // Makes this process the running one.
    void listen();

signals:
    void comeForwardRequested();

private:
    QString key_;
    QLocalServer server_;
};
