#pragma once

#include "report/Pipeline.h"

#include <QHash>

class DataSet;

namespace report {

// A pipeline over a data set's rows, from its first to its last, whatever its current row.
class DBPipeline : public Pipeline
{
public:
    DBPipeline(const QString& name, DataSet* dataSet) : name_(name), dataSet_(dataSet) {}

    QString name() const override { return name_; }
    bool hasField(const QString& field) const override;
    int rowCount() override;
    QString text(int row, const QString& field) const override;

private:
    int fieldIndex(const QString& field) const;

    QString name_;
    DataSet* dataSet_;
    mutable QHash<QString, int> indexes_;
};

} // namespace report
