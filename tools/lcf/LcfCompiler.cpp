#include "LcfCompiler.h"

#include "platform/LittleEndian.h"

#include <QHash>
#include <QRegularExpression>

#include <unicode/uloc.h>

#include <algorithm>
#include <optional>

using LittleEndian::append;

namespace {

constexpr quint32 kMaxStringId = 65535;
constexpr qint32 kNoText = -1;
constexpr qsizetype kMaxRecords = 65535; // entries of one resource directory

using Texts = QList<std::optional<QByteArray>>;

// The slot table for texts followed by the texts, offsets counted from its first byte.
QByteArray slotBlock(const Texts& texts)
{
    QByteArray table;
    QByteArray data;
    const qint64 dataAt = texts.size() * 8;
    for (const std::optional<QByteArray>& text : texts) {
        append<qint32>(table, text ? dataAt + data.size() : 0);
        append<qint32>(table, text ? text->size() : kNoText);
        if (text)
            data.append(*text);
    }
    return table + data;
}

quint32 lcidOf(const PoCatalog& catalog)
{
    char canonical[ULOC_FULLNAME_CAPACITY];
    UErrorCode status = U_ZERO_ERROR;
    uloc_canonicalize(catalog.language.toUtf8().constData(), canonical, sizeof canonical, &status);
    const quint32 lcid = U_SUCCESS(status) ? uloc_getLCID(canonical) : 0;
    if (lcid == 0)
        throw CompileError(QStringLiteral("%1: language \"%2\" has no Windows language identifier")
                               .arg(catalog.fileName, catalog.language));
    return lcid;
}

// One record's texts while the catalogs are read: the original and one per language.
struct Row
{
    QString original;
    QList<std::optional<QString>> texts;
};

// A class entry's record.
struct ClassRecord
{
    QString name;
    QList<QByteArray> keys; // in order of first appearance
    QHash<QByteArray, Row> rows;
};

class Builder
{
public:
    Builder(const QList<PoCatalog>& catalogs, bool originalSlot)
        : catalogs_(catalogs), originalSlot_(originalSlot)
    {
    }

    QMap<QString, QByteArray> build();

private:
    [[noreturn]] void fail(const PoCatalog& catalog, const PoMessage& message,
                           const QString& text) const
    {
        throw CompileError(
            QStringLiteral("%1:%2: %3").arg(catalog.fileName).arg(message.line).arg(text));
    }

    // Where a message's translation goes; its record and key are created on first sight.
    // sameText receives a name that two messages of one catalog must not share.
    std::optional<QString>& slotFor(const PoCatalog& catalog, const PoMessage& message,
                                    qsizetype language, QString& sameText);
    Row& rowFor(Row& row, const PoMessage& message) const;
    bool isFormat2() const;
    QByteArray header() const;
    QByteArray stringRecord(const Row& row) const;
    QByteArray classRecord(const ClassRecord& record) const;

    const QList<PoCatalog>& catalogs_;
    bool originalSlot_;
    QMap<quint32, Row> strings_;
    QList<ClassRecord> classes_; // in order of first appearance
};

Row& Builder::rowFor(Row& row, const PoMessage& message) const
{
    if (row.texts.isEmpty()) {
        row.original = message.source;
        row.texts.resize(catalogs_.size());
    }
    return row;
}

std::optional<QString>& Builder::slotFor(const PoCatalog& catalog, const PoMessage& message,
                                         qsizetype language, QString& sameText)
{
    static const QRegularExpression identifier(QStringLiteral("^(0|[1-9][0-9]{0,4})$"));
    static const QRegularExpression className(
        QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(::[A-Za-z_][A-Za-z0-9_]*)*$"));
    // The file joins component and property path with "-", so neither may hold one.
    static const QRegularExpression keyPart(QStringLiteral("^[\\x21-\\x2c\\x2e-\\x7e]+$"));

    if (identifier.match(message.context).hasMatch()) {
        const quint32 id = message.context.toUInt();
        if (id > kMaxStringId)
            fail(catalog, message, QStringLiteral("resource string %1 is not below 65536").arg(id));
        sameText = message.context;
        return rowFor(strings_[id], message).texts[language];
    }

    const QStringList parts = message.context.split(QLatin1Char('/'));
    if (parts.size() != 3 || !className.match(parts.at(0)).hasMatch())
        fail(catalog, message,
             QStringLiteral("context \"%1\" is neither a resource string identifier nor "
                            "Class/Component/Property")
                 .arg(message.context));
    if (!keyPart.match(parts.at(1)).hasMatch() || !keyPart.match(parts.at(2)).hasMatch())
        fail(catalog, message,
             QStringLiteral("component and property of \"%1\" must be ASCII, without \"-\" "
                            "and blanks")
                 .arg(message.context));
    const QString name = parts.at(0).toUpper();
    auto record = std::find_if(classes_.begin(), classes_.end(),
                               [&](const ClassRecord& r) { return r.name.toUpper() == name; });
    if (record == classes_.end())
        record = classes_.insert(classes_.end(), ClassRecord{parts.at(0), {}, {}});
    const QByteArray key = (parts.at(1) + QLatin1Char('-') + parts.at(2)).toLatin1();
    if (!record->rows.contains(key))
        record->keys.append(key);
    sameText = name + QLatin1Char('/') + QString::fromLatin1(key);
    return rowFor(record->rows[key], message).texts[language];
}

QByteArray Builder::header() const
{
    QByteArray bytes("LCHEADER");
    append<quint32>(bytes, originalSlot_ ? 1 : 0);
    append<qint32>(bytes, catalogs_.size());
    QList<quint32> lcids;
    for (const PoCatalog& catalog : catalogs_) {
        const quint32 lcid = lcidOf(catalog);
        if (lcids.contains(lcid))
            throw CompileError(
                QStringLiteral("%1: language %2 is given twice").arg(catalog.fileName).arg(lcid));
        lcids.append(lcid);
        append<quint32>(bytes, lcid);
    }
    if (isFormat2()) {
        for (const PoCatalog& catalog : catalogs_)
            append<qint32>(bytes, catalog.codePage.value_or(0));
    }
    return bytes;
}

bool Builder::isFormat2() const
{
    return std::any_of(catalogs_.begin(), catalogs_.end(),
                       [](const PoCatalog& catalog) { return catalog.codePage.has_value(); });
}

Texts utf16Texts(const QList<std::optional<QString>>& texts)
{
    Texts bytes;
    for (const std::optional<QString>& text : texts)
        bytes.append(text ? std::optional(LittleEndian::toUtf16(*text)) : std::nullopt);
    return bytes;
}

QByteArray Builder::stringRecord(const Row& row) const
{
    Texts texts = utf16Texts(row.texts);
    if (originalSlot_)
        texts.prepend(LittleEndian::toUtf16(row.original));
    return slotBlock(texts);
}

QByteArray Builder::classRecord(const ClassRecord& record) const
{
    QByteArray entries;
    QByteArray table;
    const qint64 tableSize = record.keys.size() * 8;
    for (const QByteArray& key : record.keys) {
        append<qint32>(table, tableSize + entries.size());
        append<quint32>(table, 0); // not read
        Texts texts = utf16Texts(record.rows.value(key).texts);
        texts.prepend(key);
        entries.append(slotBlock(texts));
    }
    const QByteArray name = record.name.toLatin1();
    QByteArray bytes;
    append<qint32>(bytes, name.size());
    bytes.append(name);
    append<qint32>(bytes, record.keys.size());
    return bytes + table + entries;
}

QMap<QString, QByteArray> Builder::build()
{
    for (qsizetype language = 0; language < catalogs_.size(); ++language) {
        const PoCatalog& catalog = catalogs_.at(language);
        QHash<QString, int> firstLine;
        for (const PoMessage& message : catalog.messages) {
            QString sameText;
            std::optional<QString>& slot = slotFor(catalog, message, language, sameText);
            if (firstLine.contains(sameText))
                fail(catalog, message,
                     QStringLiteral("\"%1\" is translated again (first at line %2)")
                         .arg(message.context)
                         .arg(firstLine.value(sameText)));
            firstLine.insert(sameText, message.line);
            slot = message.translation;
        }
    }

    QMap<QString, QByteArray> records;
    records.insert(isFormat2() ? QStringLiteral("LCHEADE2") : QStringLiteral("LCHEADER"), header());
    for (auto it = strings_.cbegin(); it != strings_.cend(); ++it)
        records.insert(QString::number(it.key()), stringRecord(it.value()));
    for (const ClassRecord& record : classes_)
        records.insert(record.name.toUpper(), classRecord(record));
    return records;
}

} // namespace

QMap<QString, QByteArray> buildRecords(const QList<PoCatalog>& catalogs, bool originalSlot)
{
    return Builder(catalogs, originalSlot).build();
}

QByteArray compileLanguageFile(const QList<PoCatalog>& catalogs, const LcfOptions& options)
{
    const QMap<QString, QByteArray> records = buildRecords(catalogs, options.originalSlot);
    if (records.size() > kMaxRecords)
        throw CompileError(QStringLiteral("%1 records are more than a language file can hold")
                               .arg(records.size()));
    return writeResourceLibrary(records, options.machine);
}
