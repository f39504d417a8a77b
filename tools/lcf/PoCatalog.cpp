#include "PoCatalog.h"

#include <QFile>
#include <QStringDecoder>

#include <utility>

namespace {

// The parts of one entry while it is read.
struct Entry
{
    std::optional<QByteArray> context;
    std::optional<QByteArray> id;
    std::optional<QByteArray> str;
    QByteArray* last = nullptr; // the field that a continuation line extends
    QList<QByteArray> flags;
    int line = 0;
};

class Parser
{
public:
    explicit Parser(const QString& fileName) : fileName_(fileName) {}

    PoCatalog parse(QByteArrayView text);

private:
    [[noreturn]] void fail(const QString& message) const
    {
        throw CompileError(QStringLiteral("%1:%2: %3").arg(fileName_).arg(line_).arg(message));
    }

    QByteArray quoted(QByteArrayView text) const;
    QString decoded(const QByteArray& bytes) const;
    void keyword(QByteArrayView line);
    void finishEntry();
    void readHeader(const QString& header);

    QString fileName_;
    int line_ = 0;
    Entry entry_;
    bool haveHeader_ = false;
    PoCatalog catalog_;
};

// The bytes of a C-style string literal that makes up the whole of text.
QByteArray Parser::quoted(QByteArrayView text) const
{
    text = text.trimmed();
    if (text.size() < 2 || !text.startsWith('"') || !text.endsWith('"'))
        fail(QStringLiteral("expected a quoted string"));
    QByteArray bytes;
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '"')
            fail(QStringLiteral("unescaped quote in a string"));
        if (c != '\\') {
            bytes.append(c);
            continue;
        }
        if (++i + 1 >= text.size())
            fail(QStringLiteral("string ends in a backslash"));
        switch (text.at(i)) {
        case 'n':
            bytes.append('\n');
            break;
        case 't':
            bytes.append('\t');
            break;
        case 'r':
            bytes.append('\r');
            break;
        case '\\':
            bytes.append('\\');
            break;
        case '"':
            bytes.append('"');
            break;
        default:
            fail(QStringLiteral("unknown escape \\%1").arg(QChar(text.at(i))));
        }
    }
    return bytes;
}

QString Parser::decoded(const QByteArray& bytes) const
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        fail(QStringLiteral("text is not UTF-8"));
    return text;
}

void Parser::keyword(QByteArrayView line)
{
    const qsizetype space = line.indexOf(' ');
    const QByteArrayView word = line.first(space < 0 ? line.size() : space);
    std::optional<QByteArray>* field = nullptr;
    if (word == "msgctxt")
        field = &entry_.context;
    else if (word == "msgid")
        field = &entry_.id;
    else if (word == "msgstr")
        field = &entry_.str;
    else if (word == "msgid_plural" || word.startsWith("msgstr["))
        fail(QStringLiteral("plural forms are not used"));
    else
        fail(QStringLiteral("unknown keyword \"%1\"").arg(QString::fromUtf8(word)));

    // A context or id after an id starts the next entry (and fails if that had no msgstr).
    if (field != &entry_.str && entry_.id)
        finishEntry();
    if (*field)
        fail(QStringLiteral("%1 given twice").arg(QString::fromUtf8(word)));
    if (!entry_.line)
        entry_.line = line_;
    *field = quoted(line.sliced(word.size()));
    entry_.last = &**field;
}

void Parser::finishEntry()
{
    Entry entry = std::exchange(entry_, Entry());
    if (!entry.id && !entry.str && !entry.context)
        return;
    const int line = std::exchange(line_, entry.line);
    if (!entry.id)
        fail(QStringLiteral("entry without msgid"));
    if (!entry.str)
        fail(QStringLiteral("entry without msgstr"));

    if (!entry.context && entry.id->isEmpty()) {
        if (haveHeader_)
            fail(QStringLiteral("second header entry"));
        haveHeader_ = true;
        readHeader(decoded(*entry.str));
    } else {
        if (!entry.context)
            fail(QStringLiteral("entry without msgctxt"));
        PoMessage message;
        message.context = decoded(*entry.context);
        message.source = decoded(*entry.id);
        message.line = entry.line;
        if (entry.flags.contains("empty")) {
            if (!entry.str->isEmpty())
                fail(QStringLiteral("flag \"empty\" on a message with a translation"));
            message.translation = QString();
        } else if (!entry.flags.contains("fuzzy") && !entry.str->isEmpty()) {
            message.translation = decoded(*entry.str);
        }
        catalog_.messages.append(message);
    }
    line_ = line;
}

void Parser::readHeader(const QString& header)
{
    for (const QString& field : header.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString name = field.section(QLatin1Char(':'), 0, 0).trimmed();
        const QString value = field.section(QLatin1Char(':'), 1).trimmed();
        if (name.compare(QLatin1String("Language"), Qt::CaseInsensitive) == 0) {
            catalog_.language = value;
        } else if (name.compare(QLatin1String("X-Windows-Code-Page"), Qt::CaseInsensitive) == 0) {
            bool ok = false;
            catalog_.codePage = value.toInt(&ok);
            if (!ok || *catalog_.codePage < 0)
                fail(QStringLiteral("\"%1\" is not a code page").arg(value));
        } else if (name.compare(QLatin1String("Content-Type"), Qt::CaseInsensitive) == 0) {
            const QString charset = value.section(QLatin1String("charset="), 1).trimmed();
            if (!charset.isEmpty() && charset.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive))
                fail(QStringLiteral("the source must be UTF-8, not %1").arg(charset));
        }
    }
}

PoCatalog Parser::parse(QByteArrayView text)
{
    catalog_.fileName = fileName_;
    if (text.startsWith("\xef\xbb\xbf"))
        text = text.sliced(3); // the byte-order mark some editors put before UTF-8
    for (QByteArrayView line : text.toByteArray().split('\n')) {
        ++line_;
        line = line.trimmed();
        if (line.startsWith("#~")) {
            continue; // obsolete messages are kept for the translator only
        } else if (line.startsWith('#')) {
            if (entry_.str)
                finishEntry();
            if (line.startsWith("#,")) {
                for (const QByteArray& flag : line.sliced(2).toByteArray().split(','))
                    entry_.flags.append(flag.trimmed());
            }
        } else if (line.startsWith('"')) {
            if (!entry_.last)
                fail(QStringLiteral("string continues no keyword"));
            entry_.last->append(quoted(line));
        } else if (!line.isEmpty()) {
            keyword(line);
        }
    }
    finishEntry();
    if (catalog_.language.isEmpty())
        throw CompileError(QStringLiteral("%1: the header names no Language").arg(fileName_));
    return catalog_;
}

} // namespace

PoCatalog parsePo(QByteArrayView text, const QString& fileName)
{
    return Parser(fileName).parse(text);
}

PoCatalog readPoFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw CompileError(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    return parsePo(file.readAll(), fileName);
}
