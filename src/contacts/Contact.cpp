#include "contacts/Contact.h"

#include <QRegularExpression>

#include <utility>

const std::array<ContactColumn, kContactFieldCount>& contactColumns()
{
    static const std::array<ContactColumn, kContactFieldCount> columns{{
        {ContactField::Nome, "AGE_NOME", 45},
        {ContactField::Endereco, "AGE_ENDERECO", 45},
        {ContactField::Bairro, "AGE_BAIRRO", 20},
        {ContactField::Cidade, "AGE_CIDADE", 45},
        {ContactField::Uf, "AGE_UF", 2},
        {ContactField::Cep, "AGE_CEP", 10},
        {ContactField::Telefone, "AGE_TELEFONE", 20},
        {ContactField::Fax, "AGE_FAX", 20},
        {ContactField::Celular, "AGE_CELULAR", 20},
        {ContactField::Email, "AGE_EMAIL", 45},
        {ContactField::Web, "AGE_WEB", 45},
        {ContactField::Msn, "AGE_MSN", 45},
        {ContactField::Skype, "AGE_SKYPE", 45},
        {ContactField::Obs, "AGE_OBS", 0},
    }};
    return columns;
}

const ContactColumn& contactColumn(ContactField field)
{
    return contactColumns()[std::size_t(field)];
}

QString foldedForComparison(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c.toCaseFolded());
    }
    return folded.simplified();
}

QString stateCode(const QString& text)
{
    static const std::pair<const char*, const char*> states[] = {
        {"AC", "acre"},
        {"AL", "alagoas"},
        {"AM", "amazonas"},
        {"AP", "amapa"},
        {"BA", "bahia"},
        {"CE", "ceara"},
        {"DF", "distrito federal"},
        {"ES", "espirito santo"},
        {"GO", "goias"},
        {"MA", "maranhao"},
        {"MG", "minas gerais"},
        {"MS", "mato grosso do sul"},
        {"MT", "mato grosso"},
        {"PA", "para"},
        {"PB", "paraiba"},
        {"PE", "pernambuco"},
        {"PI", "piaui"},
        {"PR", "parana"},
        {"RJ", "rio de janeiro"},
        {"RN", "rio grande do norte"},
        {"RO", "rondonia"},
        {"RR", "roraima"},
        {"RS", "rio grande do sul"},
        {"SC", "santa catarina"},
        {"SE", "sergipe"},
        {"SP", "sao paulo"},
        {"TO", "tocantins"},
    };
    const QString folded = foldedForComparison(text);
    for (const auto& [code, name] : states) {
        if (folded == QLatin1String(name) ||
            folded.compare(QLatin1String(code), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(code);
    }
    return text.trimmed();
}

QString postalCodeText(const QString& text)
{
    static const QRegularExpression punctuated(
        QStringLiteral("^\\s*\\d{2}\\.?\\d{3}-?\\d{3}\\s*$"));
    if (!punctuated.match(text).hasMatch())
        return text.trimmed();
    QString digits = text;
    digits.remove(QRegularExpression(QStringLiteral("\\D")));
    return QStringLiteral("%1.%2-%3").arg(digits.left(2), digits.mid(2, 3), digits.mid(5));
}

QDate birthDateFrom(const QString& text)
{
    const QString value = text.trimmed();
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-?(\\d{2})-?(\\d{2})(T.*)?$"));
    static const QRegularExpression brazilian(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    if (const QRegularExpressionMatch m = iso.match(value); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (const QRegularExpressionMatch m = brazilian.match(value); m.hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    return {};
}
