#include "report/DBPipeline.h"

#include "db/DataSet.h"

namespace report {

bool DBPipeline::hasField(const QString& field) const
{
    return dataSet_ && dataSet_->findField(field);
}

int DBPipeline::rowCount()
{
    if (!dataSet_ || !dataSet_->isActive())
        return 0;
    // Rows not read yet are read now; the current row stays where it is.
    dataSet_->fetchAll();
    return dataSet_->recordCount();
}

int DBPipeline::fieldIndex(const QString& field) const
{
    const auto found = indexes_.constFind(field);
    if (found != indexes_.cend())
        return *found;
    const Field* known = dataSet_->findField(field);
    const int index = known ? known->index() : -1;
    indexes_.insert(field, index);
    return index;
}

QString DBPipeline::text(int row, const QString& field) const
{
    const int index = fieldIndex(field);
    if (index < 0)
        return {};
    return dataSet_->field(index).textOf(dataSet_->value(row, index));
}

} // namespace report
