#include "contacts/Csv.h"

#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"

#include <QHash>
#include <QRegularExpression>

namespace {

using Row = QStringList;

// RFC 4180 records: quoted values may hold separators, quotes doubled and line breaks.
std::vector<Row> records(const QString& text, QChar separator)
{
    std::vector<Row> rows;
    Row row;
    QString value;
    bool quoted = false;
    int line = 1;
    int quoteLine = 0;
    const auto endValue = [&] {
        row.append(value);
        value.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\n')
            ++line;
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                value.append(u'"');
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                value.append(c);
            }
        } else if (c == u'"') {
            quoted = true;
            quoteLine = line;
        } else if (c == separator) {
            endValue();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                continue;
            endValue();
            rows.push_back(row);
            row.clear();
        } else {
            value.append(c);
        }
    }
    if (quoted)
        throw Error(ResourceStrings::format(ResourceStrings::CsvQuoteNotClosed,
                                            QString::number(quoteLine)));
    if (!value.isEmpty() || !row.isEmpty()) {
        endValue();
        rows.push_back(row);
    }
    return rows;
}

// The separator the header line uses most, outside quotes.
QChar separatorOf(const QString& text)
{
    int commas = 0;
    int semicolons = 0;
    int tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        if (quoted)
            continue;
        if (c == u'\n' || c == u'\r')
            break;
        commas += c == u',';
        semicolons += c == u';';
        tabs += c == u'\t';
    }
    if (semicolons > commas && semicolons >= tabs)
        return u';';
    return tabs > commas ? QChar(u'\t') : QChar(u',');
}

// What a column of a file holds.
enum class Meaning
{
    Field, // a column of the contact, in field
    FullName,
    Prefix,
    Given,
    Middle,
    Family,
    Suffix,
    Birthday,
    BirthYear,
    BirthMonth,
    BirthDay,
    PhoneType, // the webmail's "Phone 1 - Type", its value in the next "Phone 1 - Value"
    PhoneValue,
    ImService,
    ImValue,
};

struct Column
{
    Meaning meaning;
    ContactField field = ContactField::Nome;
    int group = 0; // the number of a webmail's "Phone 2 - ..." pair
};

// Headers compared folded: the program's own, the webmail's, the desktop programs' in English
// and Portuguese.
const QHash<QString, Column>& knownHeaders()
{
    static const QHash<QString, Column> headers = [] {
        QHash<QString, Column> known;
        for (const ContactColumn& column : contactColumns())
            known.insert(foldedForComparison(QString::fromLatin1(column.name)),
                         {Meaning::Field, column.field});
        known.insert(foldedForComparison(QString::fromLatin1(kBirthDateColumn)),
                     {Meaning::Birthday});
        const auto add = [&known](std::initializer_list<const char*> names, Column column) {
            for (const char* name : names)
                known.insert(foldedForComparison(QString::fromUtf8(name)), column);
        };
        const auto field = [](ContactField f) { return Column{Meaning::Field, f}; };
        add({"Name", "Display Name", "Full Name", "Nome completo", "Nome de exibição"},
            {Meaning::FullName});
        add({"Name Prefix", "Title", "Tratamento"}, {Meaning::Prefix});
        add({"Given Name", "First Name", "Nome", "Primeiro nome"}, {Meaning::Given});
        add({"Additional Name", "Middle Name", "Segundo nome"}, {Meaning::Middle});
        add({"Family Name", "Last Name", "Sobrenome"}, {Meaning::Family});
        add({"Name Suffix", "Suffix", "Sufixo"}, {Meaning::Suffix});
        add({"Birthday", "Aniversário", "Data de nascimento"}, {Meaning::Birthday});
        add({"Birth Year"}, {Meaning::BirthYear});
        add({"Birth Month"}, {Meaning::BirthMonth});
        add({"Birth Day"}, {Meaning::BirthDay});
        add({"Notes", "Note", "Observações", "Anotações", "Notas"}, field(ContactField::Obs));
        add({"E-mail Address", "E-mail 1 - Value", "Primary Email", "Email", "E-mail",
             "Endereço de email", "Endereço de e-mail"},
            field(ContactField::Email));
        add({"Mobile Phone", "Mobile Number", "Celular", "Telefone celular"},
            field(ContactField::Celular));
        add({"Home Phone", "Business Phone", "Work Phone", "Primary Phone", "Telefone",
             "Telefone residencial", "Telefone comercial"},
            field(ContactField::Telefone));
        add({"Home Fax", "Business Fax", "Fax Number", "Fax", "Fax residencial", "Fax comercial"},
            field(ContactField::Fax));
        add({"Home Street", "Home Address", "Address 1 - Street", "Rua residencial", "Endereço"},
            field(ContactField::Endereco));
        add({"Address 1 - Extended Address", "Bairro"}, field(ContactField::Bairro));
        add({"Home City", "Address 1 - City", "Cidade residencial", "Cidade"},
            field(ContactField::Cidade));
        add({"Home State", "Address 1 - Region", "Estado residencial", "Estado", "UF"},
            field(ContactField::Uf));
        add({"Home Postal Code", "Home ZipCode", "Address 1 - Postal Code", "CEP residencial",
             "CEP"},
            field(ContactField::Cep));
        add({"Web Page", "Web Page 1", "Website 1 - Value", "Personal Web Page", "Página da Web",
             "Site"},
            field(ContactField::Web));
        add({"MSN", "Screen Name"}, field(ContactField::Msn));
        add({"Skype"}, field(ContactField::Skype));
        return known;
    }();
    return headers;
}

std::optional<Column> columnOf(const QString& header)
{
    static const QRegularExpression pair(
        QStringLiteral("^(phone|im) (\\d+) - (type|label|service|value)$"));
    const QString folded = foldedForComparison(header);
    if (const auto found = knownHeaders().constFind(folded); found != knownHeaders().cend())
        return *found;
    const QRegularExpressionMatch m = pair.match(folded);
    if (!m.hasMatch())
        return std::nullopt;
    const bool phone = m.captured(1) == QLatin1String("phone");
    const bool value = m.captured(3) == QLatin1String("value");
    // A messenger's type is where it is used ("Home"); its service says which one it is.
    if (!phone && !value && m.captured(3) != QLatin1String("service"))
        return std::nullopt;
    const Meaning meaning = phone ? (value ? Meaning::PhoneValue : Meaning::PhoneType)
                                  : (value ? Meaning::ImValue : Meaning::ImService);
    return Column{meaning, ContactField::Nome, m.captured(2).toInt()};
}

// The field a webmail's phone type puts its number in.
ContactField phoneField(const QString& type)
{
    const QString folded = foldedForComparison(type);
    if (folded.contains(QLatin1String("fax")))
        return ContactField::Fax;
    if (folded.contains(QLatin1String("mobile")) || folded.contains(QLatin1String("cel")))
        return ContactField::Celular;
    return ContactField::Telefone;
}

// A row made into a contact by the meaning of its columns; the first value of a field wins.
Contact contactOf(const Row& row, const std::vector<std::optional<Column>>& columns)
{
    Contact contact;
    QStringList nameParts(5);
    int birthYear = 0, birthMonth = 0, birthDay = 0;
    QHash<int, QString> phoneTypes, imServices;
    const auto setOnce = [&contact](ContactField field, const QString& value) {
        // The webmail writes several values of one kind as "a ::: b".
        const QString first = value.section(QStringLiteral(" ::: "), 0, 0).trimmed();
        if (contact[field].isEmpty())
            contact[field] = first;
    };
    for (std::size_t i = 0; i < columns.size() && i < std::size_t(row.size()); ++i) {
        if (!columns[i])
            continue;
        const Column& column = *columns[i];
        const QString value = column.meaning == Meaning::Field && column.field == ContactField::Obs
                                  ? row.at(qsizetype(i))
                                  : row.at(qsizetype(i)).trimmed();
        switch (column.meaning) {
        case Meaning::Field:
            if (column.field == ContactField::Obs) {
                // Line breaks as the notes window keeps them, whatever system wrote the file.
                if (contact[ContactField::Obs].isEmpty())
                    contact[ContactField::Obs] =
                        QString(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            } else {
                setOnce(column.field, value);
            }
            break;
        case Meaning::FullName:
            setOnce(ContactField::Nome, value);
            break;
        case Meaning::Prefix:
        case Meaning::Given:
        case Meaning::Middle:
        case Meaning::Family:
        case Meaning::Suffix:
            nameParts[int(column.meaning) - int(Meaning::Prefix)] = value;
            break;
        case Meaning::Birthday:
            if (!contact.birthDate.isValid())
                contact.birthDate = birthDateFrom(value);
            break;
        case Meaning::BirthYear:
            birthYear = value.toInt();
            break;
        case Meaning::BirthMonth:
            birthMonth = value.toInt();
            break;
        case Meaning::BirthDay:
            birthDay = value.toInt();
            break;
        case Meaning::PhoneType:
            phoneTypes.insert(column.group, value);
            break;
        case Meaning::PhoneValue:
            if (!value.isEmpty())
                setOnce(phoneField(phoneTypes.value(column.group)), value);
            break;
        case Meaning::ImService:
            imServices.insert(column.group, foldedForComparison(value));
            break;
        case Meaning::ImValue:
            if (imServices.value(column.group).contains(QLatin1String("skype")))
                setOnce(ContactField::Skype, value);
            else if (imServices.value(column.group).contains(QLatin1String("msn")))
                setOnce(ContactField::Msn, value);
            break;
        }
    }
    if (contact[ContactField::Nome].isEmpty()) {
        nameParts.removeAll(QString());
        contact[ContactField::Nome] = nameParts.join(u' ').simplified();
    }
    if (!contact.birthDate.isValid() && birthYear > 0)
        contact.birthDate = QDate(birthYear, birthMonth, birthDay);
    contact[ContactField::Uf] = stateCode(contact[ContactField::Uf]);
    contact[ContactField::Cep] = postalCodeText(contact[ContactField::Cep]);
    return contact;
}

} // namespace

std::vector<ImportedContact> readCsv(const QByteArray& bytes)
{
    const QString text = CodePage::fromUtf8OrWin1252(bytes);
    const std::vector<Row> rows = records(text, separatorOf(text));
    std::vector<std::optional<Column>> columns;
    bool anyKnown = false;
    if (!rows.empty()) {
        for (const QString& header : rows.front()) {
            columns.push_back(columnOf(header));
            anyKnown = anyKnown || columns.back().has_value();
        }
    }
    if (!anyKnown)
        throw Error(ResourceStrings::load(ResourceStrings::CsvUnknownHeader));

    std::vector<ImportedContact> contacts;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
        if (std::all_of(row.cbegin(), row.cend(), [](const QString& v) { return v.isEmpty(); }))
            continue;
        ImportedContact imported{
            contactOf(row, columns), QStringLiteral("#%1").arg(contacts.size() + 1), {}};
        if (imported.contact[ContactField::Nome].isEmpty())
            imported.refusal = ResourceStrings::load(ResourceStrings::ImportNoName);
        contacts.push_back(std::move(imported));
    }
    return contacts;
}

namespace {

QString quoted(const QString& value)
{
    static const QRegularExpression special(QStringLiteral("[\",\\r\\n;]"));
    if (!value.contains(special))
        return value;
    QString doubled = value;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

} // namespace

QByteArray writeCsv(const std::vector<Contact>& contacts)
{
    QStringList header;
    for (const ContactColumn& column : contactColumns())
        header.append(QString::fromLatin1(column.name));
    header.append(QString::fromLatin1(kBirthDateColumn));
    QString text = header.join(u',') + QStringLiteral("\r\n");
    for (const Contact& contact : contacts) {
        QStringList values;
        for (const QString& value : contact.texts)
            values.append(quoted(value));
        values.append(contact.birthDate.isValid() ? contact.birthDate.toString(Qt::ISODate)
                                                  : QString());
        text += values.join(u',') + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
