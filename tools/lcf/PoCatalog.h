#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <stdexcept>

// A translation source that cannot be compiled; the message names the file and line.
class CompileError : public std::runtime_error
{
public:
    explicit CompileError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// One message of a translation source.
struct PoMessage
{
    QString context; // what the text belongs to: a resource string or a class entry
    QString source;  // the original text
    // The translation; nothing when the message is untranslated or fuzzy (the language then
    // leaves the text alone). The flag "empty" marks an empty translation, which gettext
    // would otherwise take for an untranslated one.
    std::optional<QString> translation;
    int line = 0;
};

// A translation source for one language: a gettext PO file in UTF-8, one message per text.
// The header's "Language" names the language (for example "pt_BR"); an optional header
// "X-Windows-Code-Page" names the 8-bit code page that the language's texts are shown in.
struct PoCatalog
{
    QString fileName;
    QString language;
    std::optional<qint32> codePage;
    QList<PoMessage> messages; // in file order, without the header
};

// Throws CompileError for anything that is not a well-formed source.
PoCatalog parsePo(QByteArrayView text, const QString& fileName);
PoCatalog readPoFile(const QString& fileName);
