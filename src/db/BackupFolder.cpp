#include "db/BackupFolder.h"

#include "db/DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const QString kFolderName = QStringLiteral("copias");
const QString kStampFormat = QStringLiteral("yyyy-MM-dd-HHmmss");

const QRegularExpression& copyName()
{
    static const QRegularExpression name(
        QStringLiteral("^agenda-(\\d{4}-\\d{2}-\\d{2}-\\d{6})-c(\\d+)-l(\\d+)(-antes)?\\.fbk$"));
    return name;
}

QString fileNameOf(const QDateTime& moment, const AgendaContents& contents, bool beforeRestore)
{
    return QStringLiteral("agenda-%1-c%2-l%3%4.fbk")
        .arg(moment.toString(kStampFormat))
        .arg(contents.contacts)
        .arg(contents.reminders)
        .arg(beforeRestore ? QStringLiteral("-antes") : QString());
}

std::optional<BackupCopy> copyOf(const QFileInfo& file)
{
    const QRegularExpressionMatch match = copyName().match(file.fileName());
    if (!match.hasMatch())
        return std::nullopt;
    BackupCopy copy;
    copy.path = file.filePath();
    copy.madeAt = QDateTime::fromString(match.captured(1), kStampFormat);
    copy.size = file.size();
    copy.contents.contacts = match.captured(2).toLongLong();
    copy.contents.reminders = match.captured(3).toLongLong();
    copy.beforeRestore = match.hasCaptured(4);
    return copy;
}

// Replaces target with source in one step, as the file system renames.
void replaceFile(const QString& source, const QString& target)
{
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()))
        throw Error(QStringLiteral("Cannot rename %1 to %2: %3")
                        .arg(source, target, QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

QList<QDateTime> momentsToKeep(QList<QDateTime> moments, int days, int weeks)
{
    std::sort(moments.begin(), moments.end(), std::greater<>());
    QList<QDateTime> kept;
    const auto keepNewestOfEach = [&](auto periodOf, int periods) {
        std::optional<qint64> lastPeriod;
        for (const QDateTime& moment : moments) {
            const qint64 period = periodOf(moment.date());
            if (period == lastPeriod)
                continue;
            if (periods-- == 0)
                return;
            lastPeriod = period;
            if (!kept.contains(moment))
                kept.append(moment);
        }
    };
    keepNewestOfEach([](QDate day) { return day.toJulianDay(); }, days);
    keepNewestOfEach([](QDate day) { return day.addDays(1 - day.dayOfWeek()).toJulianDay(); },
                     weeks);
    return kept;
}

BackupFolder::BackupFolder(const QString& database)
    : database_(database), path_(QFileInfo(database).absoluteDir().filePath(kFolderName))
{
}

QList<BackupCopy> BackupFolder::copies() const
{
    QList<BackupCopy> found;
    const QFileInfoList files = QDir(path_).entryInfoList(QDir::Files);
    for (const QFileInfo& file : files) {
        if (const std::optional<BackupCopy> copy = copyOf(file))
            found.append(*copy);
    }
    std::sort(found.begin(), found.end(),
              [](const BackupCopy& a, const BackupCopy& b) { return a.madeAt > b.madeAt; });
    return found;
}

bool BackupFolder::hasDailyCopyOf(QDate day) const
{
    const QList<BackupCopy> all = copies();
    return std::any_of(all.begin(), all.end(), [day](const BackupCopy& copy) {
        return !copy.beforeRestore && copy.madeAt.date() == day;
    });
}

BackupCopy BackupFolder::makeCopy(const QDateTime& moment, bool beforeRestore)
{
    if (!QDir().mkpath(path_))
        throw Error(QStringLiteral("Cannot create the folder %1").arg(path_));
    // Written under a name no listing takes, so an unfinished copy is never offered.
    const QString written =
        QDir(path_).filePath(QStringLiteral(".agenda-%1.part").arg(moment.toString(kStampFormat)));
    QFile::remove(written);
    AgendaContents contents;
    try {
        backupDatabase(database_, written);
        if (afterWriting)
            afterWriting(written);
        contents = verifyCopy(written);
    } catch (...) {
        QFile::remove(written);
        throw;
    }
    const QString final = QDir(path_).filePath(fileNameOf(moment, contents, beforeRestore));
    replaceFile(written, final);
    return *copyOf(QFileInfo(final));
}

QList<BackupCopy> BackupFolder::prune()
{
    QList<BackupCopy> daily = copies();
    daily.removeIf([](const BackupCopy& copy) { return copy.beforeRestore; });
    QList<QDateTime> moments;
    for (const BackupCopy& copy : daily)
        moments.append(copy.madeAt);
    const QList<QDateTime> kept = momentsToKeep(moments, kDailyCopies, kWeeklyCopies);
    QList<BackupCopy> removed;
    for (const BackupCopy& copy : daily) {
        if (kept.contains(copy.madeAt))
            continue;
        QFile::remove(copy.path);
        removed.append(copy);
    }
    return removed;
}

PendingRestore::PendingRestore(const QString& copyFile, const QString& database)
    : database_(database), restored_(database + QStringLiteral(".restaurando"))
{
    // What an interrupted restore left behind.
    QFile::remove(restored_);
    try {
        restoreDatabase(copyFile, restored_);
    } catch (...) {
        QFile::remove(restored_);
        throw;
    }
}

PendingRestore::~PendingRestore()
{
    if (!installed_)
        QFile::remove(restored_);
}

void PendingRestore::install()
{
    replaceFile(restored_, database_);
    installed_ = true;
}
