#include "LcfFixture.h"

#include "platform/LittleEndian.h"

#include <QFile>
#include <QtEndian>

namespace LcfFixture {

QByteArray po(const char* language, const char* messages, std::optional<int> codePage)
{
    QByteArray text = QByteArray("msgid \"\"\nmsgstr \"\"\n\"Language: ") + language + "\\n\"\n";
    if (codePage)
        text += "\"X-Windows-Code-Page: " + QByteArray::number(*codePage) + "\\n\"\n";
    return text + "\n" + messages;
}

QByteArray compiled(const QList<QByteArray>& sources, const LcfOptions& options)
{
    QList<PoCatalog> catalogs;
    for (const QByteArray& source : sources)
        catalogs.append(parsePo(source, QStringLiteral("source%1.po").arg(catalogs.size())));
    return compileLanguageFile(catalogs, options);
}

QByteArray library(const QMap<QString, QByteArray>& records, PeMachine machine)
{
    return writeResourceLibrary(records, machine);
}

QByteArray header(const QList<quint32>& lcids, quint32 flags, const QByteArray& magic,
                  const QList<qint32>& codePages)
{
    QByteArray bytes = magic;
    LittleEndian::append<quint32>(bytes, flags);
    LittleEndian::append<qint32>(bytes, lcids.size());
    for (quint32 lcid : lcids)
        LittleEndian::append<quint32>(bytes, lcid);
    for (qint32 codePage : codePages)
        LittleEndian::append<qint32>(bytes, codePage);
    return bytes;
}

QByteArray slotTable(const QList<std::pair<qint32, qint32>>& entries, const QByteArray& data)
{
    QByteArray bytes;
    for (const auto& [offset, size] : entries) {
        LittleEndian::append<qint32>(bytes, offset);
        LittleEndian::append<qint32>(bytes, size);
    }
    return bytes + data;
}

QByteArray utf16(const QString& text)
{
    return LittleEndian::toUtf16(text);
}

void putU32(QByteArray& bytes, qint64 at, quint32 value)
{
    Q_ASSERT(at >= 0 && at + 4 <= bytes.size());
    qToLittleEndian(value, bytes.data() + at);
}

QByteArray patched(QByteArray bytes, qint64 at, quint32 value)
{
    putU32(bytes, at, value);
    return bytes;
}

quint32 getU32(const QByteArray& bytes, qint64 at)
{
    return *LittleEndian::read<quint32>(bytes, at);
}

Layout layoutOf(const QByteArray& image)
{
    Layout layout;
    layout.optionalHeader = getU32(image, 0x3c) + 24;
    const bool plus =
        qFromLittleEndian<quint16>(image.constData() + layout.optionalHeader) == 0x20b;
    layout.resourceDirectory = layout.optionalHeader + (plus ? 112 : 96) + 16;
    const quint16 optionalSize =
        qFromLittleEndian<quint16>(image.constData() + layout.optionalHeader - 4);
    layout.sectionTable = layout.optionalHeader + optionalSize;
    layout.rsrc = getU32(image, layout.sectionTable + 20);
    const auto child = [&](qint64 directory) {
        return layout.rsrc + (getU32(image, directory + 20) & 0x7fffffff);
    };
    layout.nameDirectory = child(layout.rsrc);
    layout.languageDirectory = child(layout.nameDirectory);
    layout.dataEntry = child(layout.languageDirectory);
    return layout;
}

QString Files::write(const QByteArray& image)
{
    const QString path = dir_.filePath(QStringLiteral("file%1.lcf").arg(count_++));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace LcfFixture
