#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// A PE image (PE32 or PE32+) read as data, for the resources of a resource-only library.
// Nothing in it is executed. Every offset and size taken from the file is checked against
// the file before it is used.
class PeImage
{
public:
    // The location of one resource's data, as the resource directory gives it.
    struct Resource
    {
        quint32 rva = 0;
        quint32 size = 0;
    };

    // Reads the file and checks its headers and section table; nothing when the file cannot
    // be read or is no PE image.
    static std::optional<PeImage> load(const QString& fileName);
    static std::optional<PeImage> fromBytes(QByteArray bytes);

    // The RT_RCDATA resource called name. Names are matched in upper case, as the platform's
    // own lookup does, so a resource stored under a lower-case name is never found.
    std::optional<Resource> findRcData(const QString& name) const;
    // The bytes of a resource; nothing when they do not lie wholly in the file's sections.
    std::optional<QByteArrayView> loadResource(const Resource& resource) const;
    // Both steps at once: the bytes, or nothing when the resource is missing or unreadable.
    std::optional<QByteArrayView> rcData(const QString& name) const;

private:
    struct Section
    {
        qint64 virtualAddress = 0;
        qint64 mappedSize = 0; // the part of the section that the file holds
        qint64 fileOffset = 0;
    };

    PeImage() = default;

    // The file bytes behind [rva, rva + size), when one section holds all of them.
    std::optional<QByteArrayView> mapped(qint64 rva, qint64 size) const;
    // The data field of the first entry of the resource directory at offset at that
    // matches, or nothing.
    template <typename Match> std::optional<quint32> findEntry(qint64 at, Match matches) const;

    // The bytes the resource data directory spans; empty when the image has none.
    QByteArrayView resources() const
    {
        return QByteArrayView(file_).sliced(resourcesAt_, resourcesSize_);
    }

    QByteArray file_;
    QList<Section> sections_;
    qint64 resourcesAt_ = 0;
    qint64 resourcesSize_ = 0;
};
