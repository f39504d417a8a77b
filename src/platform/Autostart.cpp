#include "platform/Autostart.h"

#include "platform/Error.h"
#include "platform/ResourceStrings.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace Autostart {
namespace {

const QString kRunKey = QStringLiteral("Run");

QString configurationFolder()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty())
        return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString autostartFolder()
{
    return configurationFolder() + QStringLiteral("/autostart");
}

// Desktop entries quote a path that holds blanks, escaping quote, backslash, $ and `.
QString execValue(const QString& path)
{
    if (!path.contains(u' ') && !path.contains(u'\t'))
        return path;
    QString escaped;
    for (const QChar c : path) {
        if (c == u'"' || c == u'\\' || c == u'$' || c == u'`')
            escaped += u'\\';
        escaped += c;
    }
    return u'"' + escaped + u'"';
}

} // namespace

QString entryFileName(const QString& name)
{
    return autostartFolder() + u'/' + name.toLower().replace(u' ', u'-') +
           QStringLiteral(".desktop");
}

void writeEntry(const QString& name, const QString& executablePath, const QString& iconName)
{
    const QFileInfo configuration(configurationFolder());
    if (!configuration.isDir() || !configuration.isWritable() || !QDir().mkpath(autostartFolder()))
        throw Error(ResourceStrings::format(ResourceStrings::RegCreateFailed, kRunKey));

    QSaveFile file(entryFileName(name));
    const QByteArray entry =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=%1\n"
                       "Exec=%2\n")
            .arg(name, execValue(executablePath))
            .toUtf8() +
        (iconName.isEmpty() ? QByteArray() : "Icon=" + iconName.toUtf8() + "\n");
    if (!file.open(QIODevice::WriteOnly) || file.write(entry) != entry.size() || !file.commit())
        throw Error(ResourceStrings::format(ResourceStrings::RegSetDataFailed, name));
}

void removeEntry(const QString& name)
{
    QFile::remove(entryFileName(name));
}

} // namespace Autostart
