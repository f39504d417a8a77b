#include "db/Field.h"

#include "db/DataSet.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"

#include <optional>

namespace {

QString dateText(const QDateTime& moment)
{
    const QString date = moment.date().toString(QStringLiteral("dd/MM/yyyy"));
    if (moment.time() == QTime(0, 0))
        return date;
    return date + u' ' + moment.time().toString(QStringLiteral("hh:mm:ss"));
}

QDateTime parseDate(const QString& text)
{
    for (const char* format : {"dd/MM/yyyy", "dd/MM/yyyy hh:mm:ss", "dd/MM/yyyy hh:mm"}) {
        const QDateTime moment = QDateTime::fromString(text.trimmed(), QLatin1String(format));
        if (moment.isValid())
            return moment;
    }
    return {};
}

// The first character of text that the database cannot store as it is, described for a
// message: one outside Windows-1252, or a control character where one line is expected (a
// note keeps its tabs and line breaks).
std::optional<QString> unstorableCharacter(const QString& text, bool singleLine)
{
    qsizetype at = CodePage::firstUnencodable(text);
    const qsizetype end = at < 0 ? text.size() : at;
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = text.at(i);
        const bool lineBreakOrTab = c == u'\n' || c == u'\r' || c == u'\t';
        if (c.category() == QChar::Other_Control && (singleLine || !lineBreakOrTab)) {
            at = i;
            break;
        }
    }
    if (at < 0)
        return std::nullopt;
    char32_t codePoint = text.at(at).unicode();
    if (text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate())
        codePoint = QChar::surrogateToUcs4(text.at(at), text.at(at + 1));
    const QString number =
        QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
    if (QChar::category(codePoint) == QChar::Other_Control)
        return number;
    return QStringLiteral("'%1' (%2)").arg(QString::fromUcs4(&codePoint, 1), number);
}

} // namespace

Field::Field(DataSet& dataSet, int index, const QString& name, Kind kind, int size, bool calculated)
    : dataSet_(dataSet), index_(index), name_(name), kind_(kind), size_(size),
      calculated_(calculated)
{
}

Field& Field::setRequired(bool required)
{
    required_ = required;
    return *this;
}

Field& Field::setRule(Rule rule)
{
    rule_ = std::move(rule);
    return *this;
}

std::optional<QString> Field::refusal() const
{
    if (isRequired() && !isCalculated() && isNull())
        return ResourceStrings::format(ResourceStrings::FieldRequired, name_);
    if (rule_ && !isNull())
        return rule_(*this);
    return std::nullopt;
}

Field& Field::setEditMask(const QString& mask)
{
    editMask_ = mask;
    return *this;
}

QVariant Field::value() const
{
    return dataSet_.currentValue(index_);
}

QVariant Field::oldValue() const
{
    return dataSet_.currentOriginalValue(index_);
}

void Field::setValue(const QVariant& value)
{
    dataSet_.setFieldValue(*this, converted(value));
}

QVariant Field::converted(const QVariant& value) const
{
    if (value.isNull())
        return {};
    switch (kind_) {
    case Kind::Integer: {
        bool ok = false;
        const qint64 number = value.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw Error(ResourceStrings::format(ResourceStrings::InvalidInteger, value.toString()));
        return number;
    }
    case Kind::DateTime: {
        if (value.typeId() == QMetaType::QDateTime)
            return value;
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().startOfDay();
        const QDateTime moment = parseDate(value.toString());
        if (!moment.isValid())
            throw Error(ResourceStrings::format(ResourceStrings::InvalidFieldDate,
                                                {name_, value.toString()}));
        return moment;
    }
    case Kind::Text:
    case Kind::TextBlob: {
        const QString text = value.toString();
        if (const auto character = unstorableCharacter(text, kind_ == Kind::Text))
            throw Error(ResourceStrings::format(ResourceStrings::CharacterNotStorable,
                                                {name_, *character}));
        if (kind_ == Kind::TextBlob)
            return text;
        // Blanks alone are no value: a required field is still missing.
        if (text.trimmed().isEmpty())
            return {};
        return size_ > 0 && text.size() > size_ ? text.left(size_) : text;
    }
    }
    return value;
}

QString Field::asString() const
{
    return textOf(value());
}

QString Field::textOf(const QVariant& value) const
{
    if (value.isNull())
        return {};
    if (kind_ == Kind::DateTime)
        return dateText(value.toDateTime());
    return value.toString();
}

void Field::setAsString(const QString& text)
{
    setValue(text.isEmpty() ? QVariant() : QVariant(text));
}

qint64 Field::asInteger() const
{
    return value().toLongLong();
}

QDateTime Field::asDateTime() const
{
    return value().toDateTime();
}
