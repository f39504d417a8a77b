#include "PeWriter.h"

#include "platform/LittleEndian.h"
#include "platform/PeFormat.h"

using LittleEndian::append;
using namespace PeFormat;

namespace {

constexpr quint32 kFileAlignment = 0x200;
constexpr quint32 kSectionAlignment = 0x1000;
constexpr quint32 kSectionRva = 0x1000; // the one section, right after the headers
constexpr quint32 kLangNeutral = 0;
constexpr qint64 kPeOffset = 0x40;

qint64 alignUp(qint64 value, qint64 alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

void padTo(QByteArray& bytes, qint64 size)
{
    bytes.append(size - bytes.size(), '\0');
}

void appendDirectory(QByteArray& bytes, quint16 namedEntries, quint16 idEntries)
{
    append<quint32>(bytes, 0); // characteristics
    append<quint32>(bytes, 0); // time stamp, left 0 so that a build is reproducible
    append<quint16>(bytes, 0); // version
    append<quint16>(bytes, 0);
    append<quint16>(bytes, namedEntries);
    append<quint16>(bytes, idEntries);
}

// The .rsrc section: the type directory with RT_RCDATA, one name directory with the entries
// in ascending order of name (the loader searches it by bisection), one language directory per
// name, the data entries, the name strings, then the data, each piece 8-byte aligned.
QByteArray resourceSection(const QMap<QString, QByteArray>& resources)
{
    const qint64 count = resources.size();
    const qint64 nameDirectory = kDirectoryHeaderSize + kDirectoryEntrySize;
    const qint64 languageDirectories =
        nameDirectory + kDirectoryHeaderSize + count * kDirectoryEntrySize;
    const qint64 dataEntries =
        languageDirectories + count * (kDirectoryHeaderSize + kDirectoryEntrySize);
    qint64 end = dataEntries + count * kDataEntrySize;
    QList<qint64> nameAt;
    for (const QString& name : resources.keys()) {
        nameAt.append(end);
        end += 2 + 2 * name.size();
    }
    QList<qint64> dataAt;
    for (const QByteArray& data : resources) {
        end = alignUp(end, 8);
        dataAt.append(end);
        end += data.size();
    }

    QByteArray section;
    appendDirectory(section, 0, 1);
    append<quint32>(section, kRtRcData);
    append<quint32>(section, kHighBit | nameDirectory);
    appendDirectory(section, count, 0);
    for (qint64 i = 0; i < count; ++i) {
        append<quint32>(section, kHighBit | nameAt.at(i));
        append<quint32>(section, kHighBit | (languageDirectories +
                                             i * (kDirectoryHeaderSize + kDirectoryEntrySize)));
    }
    for (qint64 i = 0; i < count; ++i) {
        appendDirectory(section, 0, 1);
        append<quint32>(section, kLangNeutral);
        append<quint32>(section, dataEntries + i * kDataEntrySize);
    }
    qint64 i = 0;
    for (const QByteArray& data : resources) {
        append<quint32>(section, kSectionRva + dataAt.at(i++));
        append<quint32>(section, data.size());
        append<quint32>(section, 0); // code page
        append<quint32>(section, 0); // reserved
    }
    for (const QString& name : resources.keys()) {
        append<quint16>(section, name.size());
        section.append(LittleEndian::toUtf16(name));
    }
    i = 0;
    for (const QByteArray& data : resources) {
        padTo(section, dataAt.at(i++));
        section.append(data);
    }
    padTo(section, alignUp(section.size(), 8));
    return section;
}

// The image checksum as the platform computes it: 16-bit one's-complement-style sum of the
// file without the checksum field, plus the file's length.
quint32 imageChecksum(const QByteArray& image, qint64 checksumAt)
{
    quint64 sum = 0;
    for (qint64 i = 0; i + 1 < image.size(); i += 2) {
        if (i == checksumAt || i == checksumAt + 2)
            continue;
        sum += quint8(image.at(i)) | quint8(image.at(i + 1)) << 8;
        sum = (sum & 0xffff) + (sum >> 16);
    }
    sum = (sum & 0xffff) + (sum >> 16);
    return quint32(sum + image.size());
}

} // namespace

QByteArray writeResourceLibrary(const QMap<QString, QByteArray>& resources, PeMachine machine)
{
    const bool plus = machine == PeMachine::Amd64;
    const QByteArray section = resourceSection(resources);
    const quint32 rawSize = alignUp(section.size(), kFileAlignment);
    const quint32 imageSize = kSectionRva + alignUp(section.size(), kSectionAlignment);
    const quint16 optionalSize = plus ? 240 : 224;

    QByteArray image("MZ");
    padTo(image, kPeOffsetField);
    append<quint32>(image, kPeOffset);
    padTo(image, kPeOffset);
    image.append("PE\0\0", 4);

    // File header.
    append<quint16>(image, plus ? 0x8664 : 0x14c);
    append<quint16>(image, 1); // sections
    append<quint32>(image, 0); // time stamp
    append<quint32>(image, 0); // symbol table
    append<quint32>(image, 0); // symbols
    append<quint16>(image, optionalSize);
    // An executable image and a library; 32-bit words, or large addresses for PE32+.
    append<quint16>(image, 0x0002 | 0x2000 | (plus ? 0x0020 : 0x0100));

    // Optional header.
    const qint64 optionalHeader = image.size();
    append<quint16>(image, plus ? kPe32PlusMagic : kPe32Magic);
    append<quint8>(image, 14); // linker version
    append<quint8>(image, 0);
    append<quint32>(image, 0);           // size of code
    append<quint32>(image, rawSize);     // size of initialised data
    append<quint32>(image, 0);           // size of uninitialised data
    append<quint32>(image, 0);           // no entry point: nothing runs when it is loaded
    append<quint32>(image, kSectionRva); // base of code
    if (plus) {
        append<quint64>(image, 0x180000000);
    } else {
        append<quint32>(image, kSectionRva); // base of data
        append<quint32>(image, 0x10000000);
    }
    append<quint32>(image, kSectionAlignment);
    append<quint32>(image, kFileAlignment);
    append<quint16>(image, 6); // operating system version
    append<quint16>(image, 0);
    append<quint16>(image, 0); // image version
    append<quint16>(image, 0);
    append<quint16>(image, 6); // subsystem version
    append<quint16>(image, 0);
    append<quint32>(image, 0); // Win32 version value
    append<quint32>(image, imageSize);
    append<quint32>(image, kFileAlignment); // size of headers
    const qint64 checksumAt = image.size();
    append<quint32>(image, 0);
    append<quint16>(image, 2);      // subsystem: Windows GUI
    append<quint16>(image, 0x0100); // compatible with data execution prevention
    for (const quint64 size : {0x100000, 0x1000, 0x100000, 0x1000}) {
        if (plus)
            append<quint64>(image, size); // stack and heap, reserve and commit
        else
            append<quint32>(image, size);
    }
    append<quint32>(image, 0);  // loader flags
    append<quint32>(image, 16); // data directories
    for (int directory = 0; directory < 16; ++directory) {
        const bool resource = directory == 2;
        append<quint32>(image, resource ? kSectionRva : 0);
        append<quint32>(image, resource ? section.size() : 0);
    }
    Q_ASSERT(image.size() == optionalHeader + optionalSize);

    // Section table.
    image.append(".rsrc\0\0\0", 8);
    append<quint32>(image, section.size());
    append<quint32>(image, kSectionRva);
    append<quint32>(image, rawSize);
    append<quint32>(image, kFileAlignment); // raw data right after the headers
    append<quint32>(image, 0);              // relocations
    append<quint32>(image, 0);              // line numbers
    append<quint16>(image, 0);
    append<quint16>(image, 0);
    append<quint32>(image, 0x40000040); // initialised data, readable

    padTo(image, kFileAlignment);
    image.append(section);
    padTo(image, kFileAlignment + rawSize);

    const quint32 checksum = imageChecksum(image, checksumAt);
    qToLittleEndian(checksum, image.data() + checksumAt);
    return image;
}
