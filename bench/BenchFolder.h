#pragma once

#include "platform/AppFolder.h"

#include <QFile>
#include <QTemporaryDir>

// An application folder of the benchmark's own while it lives: a start-up file naming the
// database, as the program reads it at start.
class BenchFolder
{
public:
    explicit BenchFolder(const QString& database)
    {
        QFile ini(folder_.filePath(QStringLiteral("BaseAgenda.ini")));
        ready_ = ini.open(QIODevice::WriteOnly) &&
                 ini.write("[BANCO]\r\nCAMINHO=" + QFile::encodeName(database) + "\r\n") > 0;
        setApplicationFolder(folder_.path());
    }
    ~BenchFolder() { setApplicationFolder(QString()); }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    bool isReady() const { return ready_; }

private:
    QTemporaryDir folder_;
    bool ready_ = false;
};
