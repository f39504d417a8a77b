#include "platform/PeImage.h"

#include "platform/LittleEndian.h"
#include "platform/PeFormat.h"

#include <QFile>

using LittleEndian::read;
using LittleEndian::slice;
using namespace PeFormat;

namespace {

// Language files are small; a larger file is not one and is not read into memory.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

} // namespace

std::optional<PeImage> PeImage::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return std::nullopt;
    return fromBytes(file.readAll());
}

std::optional<PeImage> PeImage::fromBytes(QByteArray bytes)
{
    PeImage image;
    image.file_ = std::move(bytes);
    const QByteArrayView file(image.file_);

    if (!file.startsWith("MZ"))
        return std::nullopt;
    const std::optional<quint32> peOffset = read<quint32>(file, kPeOffsetField);
    if (!peOffset || slice(file, *peOffset, 4) != QByteArrayView("PE\0\0", 4))
        return std::nullopt;
    const qint64 fileHeader = qint64(*peOffset) + 4;
    const std::optional<quint16> sectionCount = read<quint16>(file, fileHeader + 2);
    const std::optional<quint16> optionalSize = read<quint16>(file, fileHeader + 16);
    const qint64 optionalHeader = fileHeader + kFileHeaderSize;
    const std::optional<quint16> magic = read<quint16>(file, optionalHeader);
    if (!sectionCount || !optionalSize || !magic || !slice(file, optionalHeader, *optionalSize))
        return std::nullopt;

    qint64 directories = 0;
    if (*magic == kPe32Magic)
        directories = 96;
    else if (*magic == kPe32PlusMagic)
        directories = 112;
    else
        return std::nullopt;

    const qint64 sectionTable = optionalHeader + *optionalSize;
    for (qint64 i = 0; i < *sectionCount; ++i) {
        const qint64 header = sectionTable + i * kSectionHeaderSize;
        const std::optional<quint32> virtualSize = read<quint32>(file, header + 8);
        const std::optional<quint32> virtualAddress = read<quint32>(file, header + 12);
        const std::optional<quint32> rawSize = read<quint32>(file, header + 16);
        const std::optional<quint32> rawOffset = read<quint32>(file, header + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset)
            return std::nullopt;
        // The loader fills a section's memory beyond its raw data with zeros; only the bytes
        // the file holds are read here.
        qint64 mappedSize = *virtualSize ? qMin(*rawSize, *virtualSize) : *rawSize;
        mappedSize = qBound(qint64(0), file.size() - *rawOffset, mappedSize);
        image.sections_.append({*virtualAddress, mappedSize, *rawOffset});
    }

    // An image without a resource directory is valid and has no resources.
    const qint64 resourceEntry = directories + kResourceDirectoryIndex * 8;
    if (resourceEntry + 8 > *optionalSize)
        return image;
    // All three lie inside the optional header, which lies inside the file.
    const quint32 directoryCount = *read<quint32>(file, optionalHeader + directories - 4);
    const quint32 resourceRva = *read<quint32>(file, optionalHeader + resourceEntry);
    const quint32 resourceSize = *read<quint32>(file, optionalHeader + resourceEntry + 4);
    // The platform's loader, too, takes a directory at address 0 for none.
    if (directoryCount <= kResourceDirectoryIndex || resourceRva == 0)
        return image;
    const std::optional<QByteArrayView> directory = image.mapped(resourceRva, resourceSize);
    if (!directory)
        return std::nullopt;
    image.resourcesAt_ = directory->data() - file.data();
    image.resourcesSize_ = directory->size();
    return image;
}

std::optional<QByteArrayView> PeImage::mapped(qint64 rva, qint64 size) const
{
    for (const Section& section : sections_) {
        const qint64 within = rva - section.virtualAddress;
        if (within >= 0 && within <= section.mappedSize && size <= section.mappedSize - within)
            return slice(file_, section.fileOffset + within, size);
    }
    return std::nullopt;
}

template <typename Match> std::optional<quint32> PeImage::findEntry(qint64 at, Match matches) const
{
    const QByteArrayView directory = resources();
    const std::optional<quint16> named = read<quint16>(directory, at + 12);
    const std::optional<quint16> numbered = read<quint16>(directory, at + 14);
    if (!named || !numbered)
        return std::nullopt;
    const qint64 count = qint64(*named) + *numbered;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 entry = at + kDirectoryHeaderSize + i * kDirectoryEntrySize;
        const std::optional<quint32> name = read<quint32>(directory, entry);
        const std::optional<quint32> data = read<quint32>(directory, entry + 4);
        if (!name || !data)
            return std::nullopt;
        if (matches(*name))
            return data;
    }
    return std::nullopt;
}

std::optional<PeImage::Resource> PeImage::findRcData(const QString& name) const
{
    const QByteArrayView directory = resources();
    const QByteArray wanted = LittleEndian::toUtf16(name.toUpper());

    // Three fixed levels (type, name, language), each of which must point to the kind of
    // node it expects, so a directory that points back into itself cannot loop.
    const std::optional<quint32> types = findEntry(0, [](quint32 id) { return id == kRtRcData; });
    if (!types || !(*types & kHighBit))
        return std::nullopt;
    const std::optional<quint32> languages = findEntry(*types & ~kHighBit, [&](quint32 id) {
        if (!(id & kHighBit))
            return false;
        const qint64 at = id & ~kHighBit;
        const std::optional<quint16> length = read<quint16>(directory, at);
        return length && slice(directory, at + 2, qint64(*length) * 2) == wanted;
    });
    if (!languages || !(*languages & kHighBit))
        return std::nullopt;
    // A language file holds one version of each record; the first language is it.
    const std::optional<quint32> dataEntry =
        findEntry(*languages & ~kHighBit, [](quint32) { return true; });
    if (!dataEntry || (*dataEntry & kHighBit))
        return std::nullopt;
    const std::optional<quint32> rva = read<quint32>(directory, *dataEntry);
    const std::optional<quint32> size = read<quint32>(directory, qint64(*dataEntry) + 4);
    if (!rva || !size)
        return std::nullopt;
    return Resource{*rva, *size};
}

std::optional<QByteArrayView> PeImage::loadResource(const Resource& resource) const
{
    return mapped(resource.rva, resource.size);
}

std::optional<QByteArrayView> PeImage::rcData(const QString& name) const
{
    const std::optional<Resource> resource = findRcData(name);
    return resource ? loadResource(*resource) : std::nullopt;
}
