#include "platform/PrivateProfile.h"

#include "platform/CodePage.h"

#include <QFile>

namespace {

constexpr qsizetype kMaxValueLength = 2047;

QString unquoted(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

QString readPrivateProfileString(const QString& fileName, const QString& section,
                                 const QString& key, const QString& defaultValue)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const QString text = CodePage::fromUtf8OrWin1252(file.readAll());

    bool inSection = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QStringView name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        return unquoted(line.mid(equals + 1).trimmed().toString()).left(kMaxValueLength);
    }
    return defaultValue;
}
