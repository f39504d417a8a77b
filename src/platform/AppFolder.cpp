#include "platform/AppFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString& overriddenFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString applicationFolder()
{
    const QString& folder = overriddenFolder();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void setApplicationFolder(const QString& folder)
{
    overriddenFolder() = folder;
}

QString resolvePathIgnoringCase(const QString& folder, const QString& relative)
{
    QString path = folder;
    const QStringList parts =
        QString(relative).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QDir dir(path);
        QString found = part;
        if (!dir.exists(part)) {
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    found = entry;
                    break;
                }
            }
        }
        path += u'/' + found;
    }
    return path;
}
