#include "AutomaticBackup.h"

#include "U_DM.h"
#include "db/BackupFolder.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"
#include "widgets/Application.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QtConcurrent>

namespace {

// On a worker thread, with attachments of its own.
QString makeDailyCopy(const QString& database, const QDateTime& moment)
{
    try {
        BackupFolder folder(database);
        folder.makeCopy(moment);
        folder.prune();
        return {};
    } catch (const Error& error) {
        return error.message();
    }
}

} // namespace

AutomaticBackup::AutomaticBackup(QObject* parent) : QObject(parent)
{
    timer_.setInterval(kCheckInterval);
    connect(&timer_, &QTimer::timeout, this, &AutomaticBackup::check);
    connect(&watcher_, &QFutureWatcher<QString>::finished, this, &AutomaticBackup::copyFinished);
    timer_.start();
    QTimer::singleShot(0, this, &AutomaticBackup::check);
}

AutomaticBackup::~AutomaticBackup()
{
    watcher_.waitForFinished();
}

bool AutomaticBackup::check()
{
    if (!DM || isRunning())
        return false;
    const QString database = DM->DB_Agenda.databaseName();
    if (database.isEmpty() || isServerPath(database) || !QFileInfo::exists(database))
        return false;
    const QDateTime now = Clock::now();
    if (triedOn_ == now.date() || BackupFolder(database).hasDailyCopyOf(now.date()))
        return false;
    triedOn_ = now.date();
    watcher_.setFuture(QtConcurrent::run(makeDailyCopy, database, now));
    return true;
}

void AutomaticBackup::copyFinished()
{
    const QString failure = watcher_.result();
    if (!failure.isEmpty()) {
        QMessageBox::warning(Application::dialogParent(), QGuiApplication::applicationDisplayName(),
                             ResourceStrings::format(ResourceStrings::BackupFailed, failure));
    }
    emit finished();
}
