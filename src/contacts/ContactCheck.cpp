#include "contacts/ContactCheck.h"

#include "platform/CodePage.h"
#include "platform/ResourceStrings.h"

namespace {

bool isStorable(QChar c, bool singleLine)
{
    if (c.category() == QChar::Other_Control)
        return !singleLine && (c == u'\n' || c == u'\r' || c == u'\t');
    return CodePage::firstUnencodable(QString(c)) < 0;
}

// The first character of the value the column cannot hold, or -1.
qsizetype firstUnstorable(const QString& value, bool singleLine)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (!isStorable(value.at(i), singleLine))
            return i;
    }
    return -1;
}

QString described(const QString& value, qsizetype at)
{
    char32_t codePoint = value.at(at).unicode();
    if (value.at(at).isHighSurrogate() && at + 1 < value.size())
        codePoint = QChar::surrogateToUcs4(value.at(at), value.at(at + 1));
    const QString number = QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QLatin1Char('0'));
    if (QChar::category(codePoint) == QChar::Other_Control)
        return number.toUpper();
    return QStringLiteral("'%1' (%2)").arg(QString::fromUcs4(&codePoint, 1), number.toUpper());
}

// The digits of a mobile number without the country's code, so that +55 41 99999-0000 and
// (41) 99999-0000 are one number.
QString mobileKey(const QString& number)
{
    QString digits;
    for (const QChar c : number) {
        if (c.isDigit())
            digits.append(c);
    }
    if (digits.size() >= 12 && digits.startsWith(QLatin1String("55")))
        digits.remove(0, 2);
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    return digits;
}

bool sameNonEmpty(const QString& a, const QString& b)
{
    return !a.isEmpty() && a == b;
}

} // namespace

std::vector<FitProblem> fitProblems(const Contact& contact)
{
    std::vector<FitProblem> problems;
    for (const ContactColumn& column : contactColumns()) {
        const QString& value = contact[column.field];
        const QString name = QString::fromLatin1(column.name);
        if (const qsizetype at = firstUnstorable(value, column.size > 0); at >= 0)
            problems.push_back(
                {column.field, ResourceStrings::format(ResourceStrings::ImportValueNotStorable,
                                                       {name, described(value, at)})});
        if (column.size > 0 && value.size() > column.size)
            problems.push_back(
                {column.field, ResourceStrings::format(ResourceStrings::ImportValueTooLong,
                                                       {name, QString::number(value.size()),
                                                        QString::number(column.size)})});
    }
    return problems;
}

Contact cutToFit(const Contact& contact)
{
    Contact fitted = contact;
    for (const ContactColumn& column : contactColumns()) {
        QString& value = fitted[column.field];
        QString kept;
        for (qsizetype i = 0; i < value.size(); ++i) {
            const QChar c = value.at(i);
            if (c.isHighSurrogate() && i + 1 < value.size()) {
                ++i; // a character outside the code page, in two halves
                continue;
            }
            if (isStorable(c, column.size > 0))
                kept.append(c);
        }
        value = column.size > 0 ? kept.left(column.size).trimmed() : kept;
    }
    return fitted;
}

std::optional<std::size_t> findDuplicate(const Contact& imported,
                                         const std::vector<StoredContact>& stored)
{
    const QString name = foldedForComparison(imported[ContactField::Nome]);
    const QString email = imported[ContactField::Email].trimmed().toCaseFolded();
    const QString mobile = mobileKey(imported[ContactField::Celular]);
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const Contact& candidate = stored[i].contact;
        if (sameNonEmpty(name, foldedForComparison(candidate[ContactField::Nome])) ||
            sameNonEmpty(email, candidate[ContactField::Email].trimmed().toCaseFolded()) ||
            sameNonEmpty(mobile, mobileKey(candidate[ContactField::Celular])))
            return i;
    }
    return std::nullopt;
}

Contact filledFrom(const Contact& stored, const Contact& imported)
{
    Contact filled = stored;
    for (std::size_t i = 0; i < kContactFieldCount; ++i) {
        if (filled.texts[i].isEmpty())
            filled.texts[i] = imported.texts[i];
    }
    if (filled.birthDate.isNull())
        filled.birthDate = imported.birthDate;
    return filled;
}
