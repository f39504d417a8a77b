#include "db/Field.h"

#include "db/DataSet.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"

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

Field& Field::setEditMask(const QString& mask)
{
    editMask_ = mask;
    return *this;
}

QVariant Field::value() const
{
    const auto* row = dataSet_.activeRow();
    return row ? row->values[static_cast<std::size_t>(index_)] : QVariant();
}

QVariant Field::oldValue() const
{
    const auto* row = dataSet_.activeRow();
    return row ? row->oldValues[static_cast<std::size_t>(index_)] : QVariant();
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
            throw Error(ResourceStrings::format(ResourceStrings::InvalidDate, value.toString()));
        return moment;
    }
    case Kind::Text: {
        const QString text = value.toString();
        return size_ > 0 && text.size() > size_ ? text.left(size_) : text;
    }
    case Kind::TextBlob:
        return value.toString();
    }
    return value;
}

QString Field::asString() const
{
    const QVariant v = value();
    if (v.isNull())
        return {};
    if (kind_ == Kind::DateTime)
        return dateText(v.toDateTime());
    return v.toString();
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
