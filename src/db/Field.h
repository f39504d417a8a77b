#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class DataSet;

// One field of a data set: a column bound by name, or a calculated value. Its value is the
// current row's; reading it on a closed or empty data set gives NULL.
class Field
{
public:
    enum class Kind
    {
        Integer,
        Text,
        DateTime,
        TextBlob
    };

    Field(DataSet& dataSet, int index, const QString& name, Kind kind, int size, bool calculated);

    DataSet& dataSet() const { return dataSet_; }
    int index() const { return index_; }
    QString name() const { return name_; }
    Kind kind() const { return kind_; }
    // Characters a text field holds; 0 for the other kinds.
    int size() const { return size_; }
    bool isCalculated() const { return calculated_; }

    bool isRequired() const { return required_; }
    Field& setRequired(bool required);
    // A rule a value must keep to be posted: it returns the message that refuses the value,
    // or nothing. NULL is the required flag's to judge.
    using Rule = std::function<std::optional<QString>(const Field&)>;
    Field& setRule(Rule rule);
    std::optional<QString> refusal() const;
    // An edit mask: pattern, ';', '1' when the literals are stored, ';', the blank character.
    QString editMask() const { return editMask_; }
    Field& setEditMask(const QString& mask);

    QVariant value() const;
    // The value the current row had when it was read.
    QVariant oldValue() const;
    bool isNull() const { return value().isNull(); }

    // Sets the current row's value, converted to the field's kind; a text longer than the
    // field is cut to its size. Throws Error when the data set is not editing (calculated
    // fields excepted) or the value does not convert.
    void setValue(const QVariant& value);
    void clear() { setValue(QVariant()); }

    // Text as a control shows it; "" for NULL. Dates as dd/MM/yyyy (with the time when it is
    // not midnight).
    QString asString() const;
    // A value of this field as text: a date without a time shows as the date alone.
    QString textOf(const QVariant& value) const;
    // The text a control stores: an empty text stores NULL.
    void setAsString(const QString& text);
    // 0 for NULL.
    qint64 asInteger() const;
    QDateTime asDateTime() const;

private:
    QVariant converted(const QVariant& value) const;

    DataSet& dataSet_;
    int index_;
    QString name_;
    Kind kind_;
    int size_;
    bool calculated_;
    bool required_ = false;
    Rule rule_;
    QString editMask_;
};
