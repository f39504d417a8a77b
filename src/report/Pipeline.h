#pragma once

#include <QString>

namespace report {

// The rows a report prints, read by field name. Reading them moves nothing the windows show.
class Pipeline
{
public:
    virtual ~Pipeline() = default;
    // The name report elements give to bind to it.
    virtual QString name() const = 0;
    virtual bool hasField(const QString& field) const = 0;
    // Makes every row readable and tells how many there are.
    virtual int rowCount() = 0;
    // A field of a row as it is printed: a date without a time shows as the date alone.
    virtual QString text(int row, const QString& field) const = 0;
};

} // namespace report
