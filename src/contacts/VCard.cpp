#include "contacts/VCard.h"

#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"

#include <QList>
#include <QSet>
#include <QStringDecoder>

#include <optional>

namespace {

// One property of a card, as its line says it: "item1.TEL;TYPE=CELL:+55 41 9999-0000".
struct Property
{
    QByteArray name;        // upper case, without its group
    QSet<QByteArray> types; // lower case, from TYPE= and the bare parameters of version 2.1
    QByteArray encoding;    // upper case
    QByteArray charset;
    QByteArray serviceType; // X-SERVICE-TYPE of an IMPP
    QByteArray value;       // as written, still encoded and escaped
};

// The parameter list and the value split at the first colon outside quotes.
Property parseProperty(const QByteArray& line)
{
    Property property;
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            quoted = !quoted;
        else if (line.at(i) == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon < 0)
        return property;
    property.value = line.mid(colon + 1);
    const QList<QByteArray> parts = line.left(colon).split(';');
    property.name = parts.first().trimmed().toUpper();
    if (const qsizetype dot = property.name.lastIndexOf('.'); dot >= 0)
        property.name = property.name.mid(dot + 1);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray parameter = parts.at(i).trimmed();
        const qsizetype equals = parameter.indexOf('=');
        const QByteArray key = (equals < 0 ? QByteArray("TYPE") : parameter.left(equals)).toUpper();
        QByteArray value = equals < 0 ? parameter : parameter.mid(equals + 1);
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        if (key == "TYPE") {
            const QByteArray lower = value.toLower();
            if (lower == "quoted-printable" || lower == "base64" || lower == "8bit")
                property.encoding = value.toUpper();
            else {
                for (const QByteArray& type : lower.split(','))
                    property.types.insert(type.trimmed());
            }
        } else if (key == "ENCODING") {
            property.encoding = value.toUpper();
        } else if (key == "CHARSET") {
            property.charset = value;
        } else if (key == "X-SERVICE-TYPE") {
            property.serviceType = value.toLower();
        }
    }
    return property;
}

QByteArray quotedPrintableDecoded(const QByteArray& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '=' && i + 2 < text.size()) {
            bool ok = false;
            const int byte = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                bytes.append(char(byte));
                i += 2;
                continue;
            }
        }
        bytes.append(c);
    }
    return bytes;
}

// The value's text: quoted-printable undone, then its charset applied; without a charset,
// UTF-8 when the bytes are, else Windows-1252, as phones and desktop programs write either.
QString decodedText(const Property& property)
{
    if (property.encoding == "B" || property.encoding == "BASE64")
        return {};
    const QByteArray bytes = property.encoding == "QUOTED-PRINTABLE"
                                 ? quotedPrintableDecoded(property.value)
                                 : property.value;
    if (!property.charset.isEmpty()) {
        QStringDecoder decoder(property.charset.constData());
        if (decoder.isValid()) {
            const QString text = decoder.decode(bytes);
            if (!decoder.hasError())
                return text;
        }
    }
    return CodePage::fromUtf8OrWin1252(bytes);
}

// A text value split at its unescaped separators (none: not split), each part unescaped.
QStringList components(const QString& text, std::optional<QChar> separator)
{
    QStringList parts{QString()};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text.at(++i);
            parts.last().append(next == u'n' || next == u'N' ? QChar(u'\n') : next);
        } else if (c == separator) {
            parts.append(QString());
        } else {
            parts.last().append(c);
        }
    }
    return parts;
}

QString unescaped(const QString& text)
{
    return components(text, std::nullopt).first();
}

QString component(const QStringList& parts, int index)
{
    return parts.value(index).trimmed();
}

// A card as it is read: the values it has found so far, the preferred ones first.
class CardBuilder
{
public:
    void add(const Property& property)
    {
        const QString text = decodedText(property);
        const bool preferred = property.types.contains("pref");
        if (property.name == "FN")
            setOnce(ContactField::Nome, unescaped(text), true);
        else if (property.name == "N")
            structuredName_ = components(text, u';');
        else if (property.name == "ADR")
            address(components(text, u';'), preferred);
        else if (property.name == "TEL")
            telephone(property.types, unescaped(text), preferred);
        else if (property.name == "EMAIL")
            setOnce(ContactField::Email, unescaped(text), preferred);
        else if (property.name == "URL")
            setOnce(ContactField::Web, unescaped(text), preferred);
        else if (property.name == "IMPP")
            messenger(property.serviceType, unescaped(text));
        else if (property.name == "X-MSN")
            setOnce(ContactField::Msn, unescaped(text), false);
        else if (property.name == "X-SKYPE" || property.name == "X-SKYPE-USERNAME")
            setOnce(ContactField::Skype, unescaped(text), false);
        else if (property.name == "BDAY")
            contact_.birthDate = birthDateFrom(unescaped(text));
        else if (property.name == "NOTE")
            appendNote(unescaped(text));
    }

    Contact contact() const
    {
        Contact result = contact_;
        if (result[ContactField::Nome].isEmpty()) {
            // N is family; given; additional; prefixes; suffixes.
            QStringList words;
            for (const int index : {3, 1, 2, 0, 4}) {
                const QString part =
                    component(structuredName_, index).replace(u',', u' ').simplified();
                if (!part.isEmpty())
                    words.append(part);
            }
            result[ContactField::Nome] = words.join(u' ');
        }
        return result;
    }

private:
    void setOnce(ContactField field, const QString& value, bool preferred)
    {
        const QString trimmed = value.trimmed();
        if (trimmed.isEmpty())
            return;
        const auto index = std::size_t(field);
        if (contact_[field].isEmpty() || (preferred && !preferredTaken_[index])) {
            contact_[field] = trimmed;
            preferredTaken_[index] = preferred;
        }
    }

    // Post-office box; extended address (the district); street; city; state; postal code.
    void address(const QStringList& parts, bool preferred)
    {
        if (!contact_[ContactField::Endereco].isEmpty() && !(preferred && !addressPreferred_))
            return;
        addressPreferred_ = preferred;
        QString street = component(parts, 2);
        if (street.isEmpty())
            street = component(parts, 0);
        contact_[ContactField::Endereco] = street.replace(u'\n', QStringLiteral(", "));
        contact_[ContactField::Bairro] = component(parts, 1);
        contact_[ContactField::Cidade] = component(parts, 3);
        contact_[ContactField::Uf] = stateCode(component(parts, 4));
        contact_[ContactField::Cep] = postalCodeText(component(parts, 5));
    }

    void telephone(const QSet<QByteArray>& types, QString number, bool preferred)
    {
        if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
            number = number.mid(4);
        ContactField field = ContactField::Telefone;
        if (types.contains("fax"))
            field = ContactField::Fax;
        else if (types.contains("cell"))
            field = ContactField::Celular;
        setOnce(field, number, preferred);
    }

    // "msn:joao@example.com", "skype:joao.silva", or the service in X-SERVICE-TYPE.
    void messenger(const QByteArray& serviceType, const QString& uri)
    {
        const qsizetype colon = uri.indexOf(u':');
        const QString scheme = colon < 0 ? QString() : uri.left(colon).toLower();
        const QString handle = colon < 0 ? uri : uri.mid(colon + 1);
        if (scheme == QLatin1String("skype") || serviceType == "skype")
            setOnce(ContactField::Skype, handle, false);
        else if (scheme == QLatin1String("msn") || scheme == QLatin1String("msnim") ||
                 serviceType == "msn")
            setOnce(ContactField::Msn, handle, false);
    }

    void appendNote(const QString& note)
    {
        QString& notes = contact_[ContactField::Obs];
        if (note.isEmpty())
            return;
        notes = notes.isEmpty() ? note : notes + u'\n' + note;
    }

    Contact contact_;
    QStringList structuredName_;
    std::array<bool, kContactFieldCount> preferredTaken_{};
    bool addressPreferred_ = false;
};

// The lines of the file with the folding undone: a line that begins with a blank continues the
// one before (version 2.1 keeps the blank, later versions drop it), and a quoted-printable
// value whose line ends in '=' continues on the next line.
class LineReader
{
public:
    explicit LineReader(const QByteArray& bytes) : lines_(bytes.split('\n'))
    {
        for (QByteArray& line : lines_) {
            if (line.endsWith('\r'))
                line.chop(1);
        }
    }

    bool atEnd() const { return next_ >= lines_.size(); }
    int lineNumber() const { return int(first_) + 1; }
    void setVersion21(bool version21) { version21_ = version21; }

    QByteArray next()
    {
        first_ = next_;
        QByteArray line = lines_.at(next_++);
        const bool quotedPrintable =
            line.left(line.indexOf(':')).toUpper().contains("QUOTED-PRINTABLE");
        while (next_ < lines_.size()) {
            const QByteArray& following = lines_.at(next_);
            if (quotedPrintable && line.endsWith('=')) {
                line.chop(1);
                line += following;
            } else if (!following.isEmpty() &&
                       (following.at(0) == ' ' || following.at(0) == '\t')) {
                line += version21_ ? following : following.mid(1);
            } else {
                break;
            }
            ++next_;
        }
        return line;
    }

private:
    QList<QByteArray> lines_;
    qsizetype next_ = 0;
    qsizetype first_ = 0;
    bool version21_ = false;
};

Error damaged(int id, const QString& detail = {})
{
    return Error(ResourceStrings::format(id, detail));
}

} // namespace

std::vector<ImportedContact> readVCards(const QByteArray& bytes)
{
    std::vector<ImportedContact> contacts;
    LineReader lines(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    std::optional<CardBuilder> card;
    int depth = 0; // cards nested in a card (an AGENT) are skipped
    int cardLine = 0;
    while (!lines.atEnd()) {
        const QByteArray line = lines.next();
        const QByteArray upper = line.trimmed().toUpper();
        if (upper == "BEGIN:VCARD") {
            if (card) {
                ++depth;
                continue;
            }
            card.emplace();
            cardLine = lines.lineNumber();
            lines.setVersion21(false);
        } else if (upper == "END:VCARD" && card) {
            if (depth > 0) {
                --depth;
                continue;
            }
            ImportedContact imported{
                card->contact(), QStringLiteral("#%1").arg(contacts.size() + 1), {}};
            if (imported.contact[ContactField::Nome].isEmpty())
                imported.refusal = ResourceStrings::load(ResourceStrings::ImportNoName);
            contacts.push_back(std::move(imported));
            card.reset();
        } else if (card && depth == 0) {
            const Property property = parseProperty(line);
            if (property.name == "VERSION")
                lines.setVersion21(property.value.trimmed() == "2.1");
            else
                card->add(property);
        }
    }
    if (card)
        throw damaged(ResourceStrings::VCardNotClosed, QString::number(cardLine));
    if (contacts.empty())
        throw damaged(ResourceStrings::VCardNone);
    return contacts;
}

namespace {

QString escaped(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u',', QStringLiteral("\\,"));
    text.replace(u';', QStringLiteral("\\;"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    text.replace(u'\n', QStringLiteral("\\n"));
    return text;
}

// The line in UTF-8, folded before 75 octets and never inside a character.
void appendFolded(QByteArray& out, const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype start = 0;
    int limit = 75;
    while (bytes.size() - start > limit) {
        qsizetype end = start + limit;
        while ((uchar(bytes.at(end)) & 0xC0) == 0x80)
            --end;
        out += bytes.mid(start, end - start);
        out += "\r\n ";
        start = end;
        limit = 74; // the blank that begins the continuation counts
    }
    out += bytes.mid(start);
    out += "\r\n";
}

} // namespace

QByteArray writeVCards(const std::vector<Contact>& contacts)
{
    QByteArray out;
    for (const Contact& contact : contacts) {
        const auto text = [&contact](ContactField field) { return escaped(contact[field]); };
        const auto line = [&out](const QString& text) { appendFolded(out, text); };
        const auto optional = [&](const char* property, ContactField field) {
            if (!contact[field].isEmpty())
                line(QString::fromLatin1(property) + text(field));
        };
        line(QStringLiteral("BEGIN:VCARD"));
        line(QStringLiteral("VERSION:3.0"));
        line(QStringLiteral("FN:") + text(ContactField::Nome));
        // N is required; the program keeps one name, so it stands whole as the given name.
        line(QStringLiteral("N:;%1;;;").arg(text(ContactField::Nome)));
        const bool hasAddress =
            !(contact[ContactField::Endereco].isEmpty() &&
              contact[ContactField::Bairro].isEmpty() && contact[ContactField::Cidade].isEmpty() &&
              contact[ContactField::Uf].isEmpty() && contact[ContactField::Cep].isEmpty());
        if (hasAddress)
            line(QStringLiteral("ADR;TYPE=HOME:;%1;%2;%3;%4;%5;")
                     .arg(text(ContactField::Bairro), text(ContactField::Endereco),
                          text(ContactField::Cidade), text(ContactField::Uf),
                          text(ContactField::Cep)));
        optional("TEL;TYPE=VOICE:", ContactField::Telefone);
        optional("TEL;TYPE=CELL:", ContactField::Celular);
        optional("TEL;TYPE=FAX:", ContactField::Fax);
        optional("EMAIL;TYPE=INTERNET:", ContactField::Email);
        optional("URL:", ContactField::Web);
        optional("X-MSN:", ContactField::Msn);
        optional("X-SKYPE:", ContactField::Skype);
        if (contact.birthDate.isValid())
            line(QStringLiteral("BDAY:") + contact.birthDate.toString(Qt::ISODate));
        optional("NOTE:", ContactField::Obs);
        line(QStringLiteral("END:VCARD"));
    }
    return out;
}
