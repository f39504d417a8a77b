#pragma once

#include "platform/PeImage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QMetaObject;
class QObject;

// Called by TLcf::Open with each language identifier of the file, in header order, and the
// data pointer given to Open; returning 0 stops the enumeration.
using TLanguageEnumProc = int32_t (*)(uint32_t lcid, void* data);

class TProc;

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

    TLcf();
    ~TLcf();
    TLcf(const TLcf&) = delete;
    TLcf& operator=(const TLcf&) = delete;

    // Routes every resource-string request to this language until the file is freed.
    void InstallRedirection();

private:
    int32_t column_ = -1;
    int32_t position_ = -1;
    std::optional<PeImage> module_;
    int32_t codePage_ = 0;
    // Declared last: removed before the file is closed.
    std::unique_ptr<TProc> redirection_;
};

// While it exists, the program's resource-string loader asks the language first.
class TProc
{
public:
    explicit TProc(const TLcf& lcf);
    ~TProc();
    TProc(const TProc&) = delete;
    TProc& operator=(const TProc&) = delete;

    // The language's text of a resource string in its code page, or nothing when the
    // language has none and the built-in text answers.
    std::optional<QByteArray> Lookup(int identifier) const;

private:
    const TLcf& lcf_;
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
    // first; false, appending nothing, when there is no such record or it is damaged (entries
    // that would take more bytes than the record holds included).
    bool LoadClassRecord(const QString& className);

    const TLcf* lcf;
    QObject* component;
    QList<TProp> props;
};

// The language file: beside the executable, under its name with the extension ".lcf".
QString LanguageFileName();

// The language in force for the whole program, or null.
TLcf* CurrentLanguage();

// Unloads the current language, then opens fileName selecting lcid; -1, 0 or 1 as
// TLcf::Open. Only on 1 is a language loaded afterwards.
int32_t LoadLanguage(const QString& fileName, uint32_t lcid, TLanguageEnumProc enumProc = nullptr,
                     void* data = nullptr);
void UnloadLanguage();

// Writes the loaded language's texts into the component's properties and into those of the
// components it owns. False when no language is loaded or the component's own class has no
// record. A bad index in a property path throws and ends the translation of the component.
bool TranslateComponent(QObject* component);

// The language's full name in Portuguese (Brazil), the program's own language; "<unknown>"
// for an identifier the system does not know.
QString LanguageDisplayName(uint32_t lcid);

// The enumeration callback for Open: appends the language, named by its display name and
// carrying its identifier, to the language list CBIdiomas of the window data.
int32_t AdicionarIdioma(uint32_t lcid, void* data);
