#include "LcUnit.h"

#include "platform/AppFolder.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/LittleEndian.h"
#include "platform/LocaleNames.h"
#include "platform/ResourceStrings.h"
#include "widgets/Controls.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMetaObject>
#include <QMetaProperty>

using LittleEndian::read;
using LittleEndian::slice;

namespace {

// The language in which the language list names its languages.
constexpr const char* kDisplayLocale = "pt_BR";

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

TLcf::TLcf() = default;
TLcf::~TLcf() = default;

void TLcf::InstallRedirection()
{
    redirection_ = std::make_unique<TProc>(*this);
}

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
            codePage_ = format2 ? *read<qint32>(*header, codePages + 4 * qint64(i))
                                : LocaleNames::defaultAnsiCodePage(lcid);
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
    // Every entry of a well-made record has bytes of its own, so reading them all copies no
    // more than the record holds. Entries that share their bytes could cost the record's size
    // many times over: such a record is damaged.
    qint64 budget = record->size();
    const qsizetype before = props.size();
    for (qint64 i = qint64(*count) - 1; i >= 0; --i) {
        TProp prop(*lcf);
        prop.LoadEntry(*record, table + *read<qint32>(*record, table + i * kSlotSize));
        budget -= prop.componentName.size() + prop.propertyPath.size() + prop.text.size() * 2;
        if (budget < 0) {
            props.resize(before, prop);
            return false;
        }
        props.append(prop);
    }
    return true;
}

TProc::TProc(const TLcf& lcf) : lcf_(lcf)
{
    ResourceStrings::setRedirection([this](int identifier) { return Lookup(identifier); });
}

TProc::~TProc()
{
    ResourceStrings::clearRedirection();
}

std::optional<QByteArray> TProc::Lookup(int identifier) const
{
    if (identifier < 0)
        return std::nullopt;
    const std::optional<QString> text = lcf_.FindString(uint32_t(identifier));
    if (!text)
        return std::nullopt;
    return CodePage::toCodePage(*text, lcf_.codePage());
}

namespace {

struct LoadedLanguage
{
    // Touching the loader first makes its state outlive this one, which unloads at exit.
    LoadedLanguage() { ResourceStrings::clearRedirection(); }
    std::unique_ptr<TLcf> lcf;
};

LoadedLanguage& loaded()
{
    static LoadedLanguage language;
    return language;
}

} // namespace

QString LanguageFileName()
{
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    return applicationFolder() + u'/' + executable.completeBaseName() + QStringLiteral(".lcf");
}

TLcf* CurrentLanguage()
{
    return loaded().lcf.get();
}

void UnloadLanguage()
{
    // The reference goes first, then the redirection, then the file.
    std::unique_ptr<TLcf> freed = std::move(loaded().lcf);
}

int32_t LoadLanguage(const QString& fileName, uint32_t lcid, TLanguageEnumProc enumProc, void* data)
{
    UnloadLanguage();
    loaded().lcf = std::make_unique<TLcf>();
    const int32_t result = loaded().lcf->Open(fileName, lcid, enumProc, data);
    if (result < 1) {
        UnloadLanguage();
        return result;
    }
    loaded().lcf->InstallRedirection();
    return 1;
}

namespace {

enum class SegmentKind
{
    Plain,
    Collection,
    StringList
};

struct Segment
{
    SegmentKind kind = SegmentKind::Plain;
    QByteArray name;
    int index = 0;
};

Segment parseSegment(const QByteArray& text)
{
    Segment segment;
    char closing = 0;
    qsizetype open = text.indexOf('<');
    if (open >= 0) {
        segment.kind = SegmentKind::Collection;
        closing = '>';
    } else if ((open = text.indexOf('(')) >= 0) {
        segment.kind = SegmentKind::StringList;
        closing = ')';
    }
    if (open < 0) {
        segment.name = text;
        return segment;
    }
    segment.name = text.left(open);
    const qsizetype close = text.indexOf(closing, open + 1);
    const QByteArray number = text.mid(open + 1, close < 0 ? -1 : close - open - 1);
    bool ok = false;
    segment.index = number.trimmed().toInt(&ok, 10);
    if (!ok) {
        throw Error(ResourceStrings::format(ResourceStrings::InvalidInteger,
                                            CodePage::fromWin1252(number)));
    }
    return segment;
}

Error listIndexError(int index)
{
    return Error(ResourceStrings::format(ResourceStrings::ListIndexError, QString::number(index)));
}

// The property of object called name, the class's own before those it inherits.
std::optional<QMetaProperty> findProperty(const QObject* object, const QByteArray& name)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = meta->propertyCount() - 1; i >= 0; --i) {
        const QMetaProperty property = meta->property(i);
        if (qstricmp(property.name(), name.constData()) == 0)
            return property;
    }
    return std::nullopt;
}

bool isObjectProperty(const QMetaProperty& property)
{
    return property.metaType().flags().testFlag(QMetaType::PointerToQObject);
}

// Where a property path leads: a property of object, or none with object and the last
// segment telling whether a string-list item is meant.
struct Walk
{
    QObject* object = nullptr;
    std::optional<QMetaProperty> property;
    Segment last;
};

Walk walkPath(QObject* target, const QByteArray& path)
{
    Walk walk;
    walk.object = target;
    const QList<QByteArray> segments = path.split('.');
    for (qsizetype k = 0; k < segments.size(); ++k) {
        walk.last = parseSegment(segments.at(k));
        const std::optional<QMetaProperty> property = findProperty(walk.object, walk.last.name);
        if (!property)
            return walk;
        if (k == segments.size() - 1) {
            walk.property = property;
            return walk;
        }
        if (!isObjectProperty(*property))
            return walk;
        walk.object = property->read(walk.object).value<QObject*>();
        switch (walk.last.kind) {
        case SegmentKind::StringList:
            return walk;
        case SegmentKind::Collection: {
            const auto* collection = qobject_cast<const Collection*>(walk.object);
            if (!collection)
                return Walk{};
            if (walk.last.index < 0 || walk.last.index >= collection->count())
                throw listIndexError(walk.last.index);
            walk.object = collection->item(walk.last.index);
            if (!walk.object) {
                walk.property = property;
                return walk;
            }
            break;
        }
        case SegmentKind::Plain:
            if (!walk.object)
                return walk;
            break;
        }
    }
    return walk;
}

// The component itself or one it owns, by name without regard to case.
QObject* findTarget(QObject* component, const QList<QObject*>& owned, const QString& name)
{
    if (component->objectName().compare(name, Qt::CaseInsensitive) == 0)
        return component;
    for (QObject* candidate : owned) {
        if (!candidate->objectName().isEmpty() &&
            candidate->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return nullptr;
}

void applyProp(const TProp& prop, QObject* component, const QList<QObject*>& owned, int codePage)
{
    QObject* target = findTarget(component, owned, CodePage::fromWin1252(prop.componentName));
    if (!target)
        return;
    const Walk walk = walkPath(target, prop.propertyPath);
    if (walk.property) {
        if (!walk.object || walk.property->metaType().id() != QMetaType::QString ||
            !walk.property->isWritable())
            return;
        if (walk.property->read(walk.object).toString() != prop.text)
            walk.property->write(walk.object, prop.text);
        return;
    }
    auto* list = qobject_cast<StringList*>(walk.object);
    if (!list || walk.last.kind != SegmentKind::StringList)
        return;
    if (walk.last.index < 0)
        throw listIndexError(walk.last.index);
    if (walk.last.index >= list->count())
        return;
    // List items are 8-bit text of the language's code page, read as the system's.
    const QString item = CodePage::fromWin1252(CodePage::toCodePage(prop.text, codePage));
    if (list->item(walk.last.index) != item)
        list->setItem(walk.last.index, item);
}

} // namespace

bool TranslateComponent(QObject* component)
{
    const TLcf* lcf = CurrentLanguage();
    if (!lcf || !component)
        return false;
    TProps props(*lcf, component);
    if (!props.LoadClass(component->metaObject()))
        return false;
    const QList<QObject*> owned = component->findChildren<QObject*>();
    for (const TProp& prop : std::as_const(props.props)) {
        if (prop.hasText)
            applyProp(prop, component, owned, lcf->codePage());
    }
    return true;
}

QString LanguageDisplayName(uint32_t lcid)
{
    // In the program's own language whatever the desktop's, so that the sorted list, and with
    // it the stored language index, means the same languages on every desktop.
    const std::optional<QString> name =
        LocaleNames::displayName(lcid, QString::fromLatin1(kDisplayLocale));
    return name && !name->isEmpty() ? *name : ResourceStrings::load(ResourceStrings::Unknown);
}

int32_t AdicionarIdioma(uint32_t lcid, void* data)
{
    auto* window = static_cast<QObject*>(data);
    if (auto* list = window->findChild<ComboBox*>(QStringLiteral("CBIdiomas")))
        list->addSortedItem(LanguageDisplayName(lcid), lcid);
    return 1;
}
