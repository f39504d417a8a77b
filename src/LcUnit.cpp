#include "LcUnit.h"

#include "platform/LittleEndian.h"

#include <QMetaObject>

using LittleEndian::read;
using LittleEndian::slice;

namespace {

constexpr qint64 kHeaderSize = 16;
constexpr qint64 kSlotSize = 8;
constexpr char kMagic[] = "LCHEADER";

// The text bytes of slot k of the slot table at base, whose offsets count from base. Nothing
// when the slot has no text (a negative size) or anything it names lies outside the record.
std::optional<QByteArrayView> slotBytes(QByteArrayView record, qint64 base, qint64 k)
{
    const std::optional<qint32> offset = read<qint32>(record, base + k * kSlotSize);
    const std::optional<qint32> size = read<qint32>(record, base + k * kSlotSize + 4);
    if (!offset || !size || *size < 0)
        return std::nullopt;
    return slice(record, base + *offset, *size);
}

} // namespace

int32_t TLcf::Open(const QString& fileName, uint32_t lcid, TLanguageEnumProc enumProc, void* data)
{
    module_ = PeImage::load(fileName);
    if (!module_)
        return -1;

    bool format2 = false;
    std::optional<PeImage::Resource> found = module_->findRcData(QStringLiteral("LCHEADER"));
    if (!found) {
        found = module_->findRcData(QStringLiteral("LCHEADE2"));
        format2 = true;
    }
    if (!found)
        return -1;
    const std::optional<QByteArrayView> header = module_->loadResource(*found);
    if (!header || header->size() < kHeaderSize || !header->startsWith(kMagic))
        return -1;

    const bool leadingSlot = header->at(8) & 1;
    const qint32 count = qMax(*read<qint32>(*header, 12), 0);
    // A list that runs past the header makes the file invalid rather than read beyond it.
    const qint64 codePages = kHeaderSize + 4 * qint64(count);
    if (!slice(*header, kHeaderSize, codePages - kHeaderSize) ||
        (format2 && !slice(*header, codePages, 4 * qint64(count))))
        return -1;
    const auto identifier = [&](qint64 i) { return *read<quint32>(*header, kHeaderSize + 4 * i); };

    column_ = -1;
    position_ = -1;
    codePage_ = 0;
    if (enumProc) {
        for (qint32 i = 0; i < count; ++i) {
            if (enumProc(identifier(i), data) == 0)
                break;
        }
    }
    for (qint32 i = 0; i < count; ++i) {
        if (identifier(i) == lcid) {
            column_ = i;
            position_ = i;
            // Format 1 leaves the code page to the system's default for the language.
            codePage_ = format2 ? *read<qint32>(*header, codePages + 4 * qint64(i)) : 0;
            break;
        }
    }
    if (column_ < 0)
        return 0;
    if (leadingSlot)
        ++column_;
    return 1;
}

std::optional<QByteArrayView> TLcf::record(const QString& name) const
{
    return module_ ? module_->rcData(name) : std::nullopt;
}

std::optional<QString> TLcf::FindString(uint32_t identifier) const
{
    const std::optional<QByteArrayView> strings = record(QString::number(identifier));
    if (!strings)
        return std::nullopt;
    const std::optional<QByteArrayView> bytes = slotBytes(*strings, 0, column_);
    if (!bytes)
        return std::nullopt;
    return LittleEndian::fromUtf16(*bytes);
}

void TProp::LoadEntry(QByteArrayView record, qint64 entryAt)
{
    // The key is "Component-Property.Path"; whatever follows a second "-" is ignored.
    const QList<QByteArray> key =
        slotBytes(record, entryAt, 0).value_or(QByteArrayView()).toByteArray().split('-');
    componentName = key.at(0);
    propertyPath = key.value(1);

    hasText = false;
    text.clear();
    if (lcf->position() < 0)
        return;
    if (const std::optional<QByteArrayView> bytes =
            slotBytes(record, entryAt, lcf->position() + 1)) {
        hasText = true;
        text = LittleEndian::fromUtf16(*bytes);
    }
}

bool TProps::LoadClass(const QMetaObject* metaObject)
{
    // Every ancestor up to QObject, the toolkit's basic component class, comes first.
    if (const QMetaObject* parent = metaObject->superClass())
        LoadClass(parent);
    return LoadClassRecord(QString::fromLatin1(metaObject->className()));
}

bool TProps::LoadClassRecord(const QString& className)
{
    const std::optional<QByteArrayView> record = lcf->record(className);
    if (!record)
        return false;
    const std::optional<qint32> nameLength = read<qint32>(*record, 0);
    if (!nameLength || *nameLength < 0)
        return false;
    const qint64 countAt = 4 + qint64(*nameLength);
    const std::optional<qint32> count = read<qint32>(*record, countAt);
    const qint64 table = countAt + 4;
    if (!count || (*count > 0 && !slice(*record, table, *count * kSlotSize)))
        return false;
    for (qint64 i = qint64(*count) - 1; i >= 0; --i) {
        TProp prop(*lcf);
        prop.LoadEntry(*record, table + *read<qint32>(*record, table + i * kSlotSize));
        props.append(prop);
    }
    return true;
}
