#pragma once

#include "platform/PeImage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

class QMetaObject;
class QObject;

// Called by TLcf::Open with each language identifier of the file, in header order, and the
// data pointer given to Open; returning 0 stops the enumeration.
using TLanguageEnumProc = int32_t (*)(uint32_t lcid, void* data);

// An open language file: a resource-only library whose RT_RCDATA records hold, for each of
// its languages, the texts of resource strings and of window and component properties.
class TLcf
{
public:
    // -1 when the file cannot be opened or has no valid header, 0 when the header does not
    // list lcid, 1 when that language is selected. The file stays open whatever the result.
    int32_t Open(const QString& fileName, uint32_t lcid, TLanguageEnumProc enumProc = nullptr,
                 void* data = nullptr);

    // The selected language's text of a resource string, or nothing.
    std::optional<QString> FindString(uint32_t identifier) const;

    // The bytes of the record called name, or nothing when there is none or it cannot be read.
    std::optional<QByteArrayView> record(const QString& name) const;

    // The slot of the selected language in string records, -1 while none is selected.
    int32_t column() const { return column_; }
    // The selected language's position in the header, -1 while none is selected.
    int32_t position() const { return position_; }
    // The selected language's code page; 0 for the system's default.
    int32_t codePage() const { return codePage_; }

private:
    int32_t column_ = -1;
    int32_t position_ = -1;
    std::optional<PeImage> module_;
    int32_t codePage_ = 0;
};

// One property entry of a class record, for the selected language.
class TProp
{
public:
    explicit TProp(const TLcf& lcf) : lcf(&lcf) {}

    // Reads the entry at byte entryAt of a class record. A slot that names bytes outside the
    // record reads as an empty key or as no text.
    void LoadEntry(QByteArrayView record, qint64 entryAt);

    const TLcf* lcf;
    QByteArray componentName; // 8-bit, as the record stores it
    QByteArray propertyPath;  // 8-bit, segments joined by "."
    QString text;
    bool hasText = false;
};

// The property entries for one component being translated.
class TProps
{
public:
    TProps(const TLcf& lcf, QObject* component) : lcf(&lcf), component(component) {}

    // Appends the entries of the class's ancestors (the most basic first), then those of the
    // class itself; true when the class has a record of its own.
    bool LoadClass(const QMetaObject* metaObject);
    // Appends the entries of the one record called className, from its last entry to its
    // first; false when there is no such record or it is damaged.
    bool LoadClassRecord(const QString& className);

    const TLcf* lcf;
    QObject* component;
    QList<TProp> props;
};
