#include "db/DataSet.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqlParameters.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/ResourceStrings.h"

#include <limits>

namespace {

constexpr QLatin1String kOldPrefix("OLD_");

} // namespace

DataSet::DataSet(Transaction& transaction, QObject* parent)
    : QObject(parent), transaction_(transaction)
{
}

DataSet::~DataSet() = default;

void DataSet::setSql(const QString& sql)
{
    close();
    sql_ = sql;
    parameterNames_ = toPositionalSql(sql).distinctNames;
}

void DataSet::setParameter(const QString& name, const QVariant& value)
{
    const QString key = name.toUpper();
    if (!parameterNames_.contains(key))
        throw DbError(QStringLiteral("Parameter %1 not found").arg(name));
    parameters_[key] = value;
}

void DataSet::setParameter(int index, const QVariant& value)
{
    setParameter(parameterNames_.value(index, QStringLiteral("#%1").arg(index)), value);
}

QVariant DataSet::parameter(const QString& name) const
{
    return parameters_.value(name.toUpper());
}

Field& DataSet::createField(const QString& name, Field::Kind kind, int size, bool calculated)
{
    fields_.push_back(std::make_unique<Field>(*this, fieldCount(), name, kind, size, calculated));
    return *fields_.back();
}

Field& DataSet::addField(const QString& name, Field::Kind kind, int size)
{
    return createField(name, kind, size, false);
}

Field& DataSet::addCalculatedField(const QString& name, Field::Kind kind, int size)
{
    return createField(name, kind, size, true);
}

Field* DataSet::findField(const QString& name) const
{
    for (const auto& field : fields_) {
        if (field->name().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    }
    return nullptr;
}

Field& DataSet::fieldByName(const QString& name) const
{
    Field* field = findField(name);
    if (!field)
        throw Error(ResourceStrings::format(ResourceStrings::FieldNotFound, name));
    return *field;
}

void DataSet::setGenerator(const QString& generator, const QString& keyField)
{
    generator_ = generator;
    keyField_ = keyField;
}

void DataSet::open()
{
    checkNotNotifying();
    if (isActive())
        return;
    Connection& connection = transaction_.connection();
    if (!connection.isOpen()) {
        connection.open();
        // The connection's own handler may have opened this data set already.
        if (isActive())
            return;
    }
    adopt(prepareSelect());
}

void DataSet::reopen(const QString& sql)
{
    checkNotNotifying();
    if (!isActive()) {
        setSql(sql);
        open();
        return;
    }
    sql_ = sql;
    parameterNames_ = toPositionalSql(sql).distinctNames;
    std::unique_ptr<Statement> select;
    try {
        select = prepareSelect();
    } catch (...) {
        close();
        throw;
    }
    adopt(std::move(select));
}

// The statement with its parameters, run, each field found among its columns.
std::unique_ptr<Statement> DataSet::prepareSelect()
{
    auto select = std::make_unique<Statement>(transaction_, sql_);
    for (auto it = parameters_.cbegin(); it != parameters_.cend(); ++it) {
        if (select->hasParameter(it.key()))
            select->setParameter(it.key(), it.value());
    }
    packedColumns_.clear();
    packedPosition_.clear();
    for (const auto& field : fields_) {
        if (field->isCalculated()) {
            packedPosition_.push_back(-1);
            continue;
        }
        const int column = select->columnIndex(field->name());
        if (column < 0)
            throw Error(ResourceStrings::format(ResourceStrings::FieldNotFound, field->name()));
        packedPosition_.push_back(static_cast<int>(packedColumns_.size()));
        packedColumns_.push_back(column);
    }
    select->execute();
    return select;
}

// The rows of a statement that has run take the place of any before; one notification.
void DataSet::adopt(std::unique_ptr<Statement> select)
{
    select_ = std::move(select);
    rows_.clear();
    deleted_.clear();
    packedRows_.clear();
    modified_ = false;
    editBackup_.clear();
    const bool stateChanges = state_ != State::Browse;
    state_ = State::Browse;
    try {
        fetchRows(initialFetch_);
    } catch (...) {
        // A row the database cannot deliver (a value that does not convert) leaves it closed.
        select_.reset();
        rows_.clear();
        packedRows_.clear();
        current_ = -1;
        bof_ = eof_ = true;
        state_ = State::Inactive;
        notifyReset();
        throw;
    }
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    const Notifying notifying(*this);
    emit rowsReset();
    if (stateChanges)
        emit stateChanged();
    emit currentRowChanged();
}

void DataSet::close()
{
    checkNotNotifying();
    if (!isActive())
        return;
    select_.reset();
    rows_.clear();
    deleted_.clear();
    packedRows_.clear();
    current_ = -1;
    bof_ = eof_ = true;
    modified_ = false;
    editBackup_.clear();
    state_ = State::Inactive;
    notifyReset();
}

void DataSet::notifyReset()
{
    const Notifying notifying(*this);
    emit rowsReset();
    emit stateChanged();
    emit currentRowChanged();
}

bool DataSet::fetchRow()
{
    if (!select_ || !select_->isOpen() || !select_->fetchNext())
        return false;
    Row row;
    row.packed = packedRows_.add(select_->packRow(packedColumns_));
    rows_.push_back(std::move(row));
    return true;
}

bool DataSet::canFetchMore() const
{
    return select_ && select_->isOpen();
}

int DataSet::fetchRows(int count)
{
    const int first = recordCount();
    for (int i = 0; i < count && fetchRow(); ++i) {
    }
    return first;
}

void DataSet::notifyFetched(int first)
{
    if (recordCount() <= first)
        return;
    const Notifying notifying(*this);
    emit rowsFetched(first, recordCount() - 1);
}

void DataSet::fetchMore(int count)
{
    checkNotNotifying();
    notifyFetched(fetchRows(count));
}

void DataSet::fetchAll()
{
    fetchMore(std::numeric_limits<int>::max());
}

QVariant DataSet::value(int row, int field) const
{
    if (row < 0 || row >= recordCount() || field < 0 || field >= fieldCount())
        return {};
    const Row& at = rows_[static_cast<std::size_t>(row)];
    if (fields_[static_cast<std::size_t>(field)]->isCalculated())
        return calculatedValue(at, field);
    return resolved(storedValue(at, field));
}

bool DataSet::isNull(int row, int field) const
{
    if (row < 0 || row >= recordCount() || field < 0 || field >= fieldCount())
        return true;
    const Row& at = rows_[static_cast<std::size_t>(row)];
    const auto index = static_cast<std::size_t>(field);
    if (fields_[index]->isCalculated())
        return calculatedValue(at, field).isNull();
    if (at.isExpanded())
        return at.values()[index].isNull();
    return isNullPacked(at.packed, packedPosition_[index]);
}

QVariant DataSet::storedValue(const Row& row, int field) const
{
    const auto index = static_cast<std::size_t>(field);
    if (row.isExpanded())
        return row.values()[index];
    return unpackValue(row.packed, packedPosition_[index]);
}

QVariant DataSet::resolved(const QVariant& value) const
{
    if (value.typeId() != qMetaTypeId<BlobRef>())
        return value;
    return readBlobValue(transaction_, value.value<BlobRef>());
}

// Calculated fields are worked out when asked for, so that rows never hold them.
QVariant DataSet::calculatedValue(const Row& row, int field) const
{
    if (!onCalcFields)
        return {};
    const Row* outer = calculating_;
    calculating_ = &row;
    calculated_.assign(fields_.size(), QVariant());
    try {
        onCalcFields(const_cast<DataSet&>(*this));
    } catch (...) {
        calculating_ = outer;
        throw;
    }
    calculating_ = outer;
    return calculated_[static_cast<std::size_t>(field)];
}

void DataSet::expand(Row& row) const
{
    if (row.isExpanded())
        return;
    row.expanded = std::make_unique<Row::Expanded>();
    row.values().resize(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (packedPosition_[i] >= 0)
            row.values()[i] = resolved(unpackValue(row.packed, packedPosition_[i]));
    }
    row.packed = {};
}

QVariant DataSet::currentValue(int field)
{
    const auto index = static_cast<std::size_t>(field);
    if (calculating_) {
        if (fields_[index]->isCalculated())
            return calculated_[index];
        return resolved(storedValue(*calculating_, field));
    }
    if (current_ < 0)
        return {};
    Row& row = rows_[static_cast<std::size_t>(current_)];
    if (fields_[index]->isCalculated())
        return calculatedValue(row, field);
    const QVariant value = storedValue(row, field);
    if (value.typeId() != qMetaTypeId<BlobRef>())
        return value;
    // A blob shown is kept, so showing it again reads nothing.
    expand(row);
    return row.values()[index];
}

QVariant DataSet::currentOriginalValue(int field)
{
    if (current_ < 0 || calculating_)
        return currentValue(field);
    Row& row = rows_[static_cast<std::size_t>(current_)];
    if (!row.isExpanded() || row.original().empty())
        return currentValue(field);
    return row.original()[static_cast<std::size_t>(field)];
}

void DataSet::setFieldValue(const Field& field, const QVariant& value)
{
    const auto index = static_cast<std::size_t>(field.index());
    if (calculating_) {
        if (field.isCalculated())
            calculated_[index] = value;
        return;
    }
    if (!isEditing())
        throw Error(ResourceStrings::load(ResourceStrings::NotEditing));
    if (current_ < 0)
        return;
    Row& row = rows_[static_cast<std::size_t>(current_)];
    row.values()[index] = value;
    if (!field.isCalculated())
        modified_ = true;
    const Notifying notifying(*this);
    emit dataChanged(&field);
}

void DataSet::checkNotNotifying() const
{
    if (isNotifying())
        throw Error(QStringLiteral("Cannot change a dataset while it notifies its views"));
}

void DataSet::checkActive() const
{
    if (!isActive())
        throw Error(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void DataSet::checkModifiable() const
{
    if (!isModifiable())
        throw Error(ResourceStrings::load(ResourceStrings::DataSetReadOnly));
}

void DataSet::setState(State state)
{
    if (state_ == state)
        return;
    state_ = state;
    const Notifying notifying(*this);
    emit stateChanged();
}

void DataSet::notifyRowChanged(bool stateChanged)
{
    const Notifying notifying(*this);
    if (stateChanged)
        emit this->stateChanged();
    emit dataChanged(nullptr);
    emit currentRowChanged();
}

void DataSet::scrolled()
{
    const Notifying notifying(*this);
    emit currentRowChanged();
}

int DataSet::addRecordWriter(std::function<void()> writer)
{
    recordWriters_[nextWriterId_] = std::move(writer);
    return nextWriterId_++;
}

void DataSet::removeRecordWriter(int id)
{
    recordWriters_.erase(id);
}

void DataSet::writeRecord()
{
    for (const auto& [id, writer] : recordWriters_)
        writer();
}

void DataSet::checkBrowseMode()
{
    checkNotNotifying();
    checkActive();
    if (isEditing()) {
        writeRecord();
        if (modified_)
            post();
        else
            cancel();
    }
}

void DataSet::first()
{
    checkBrowseMode();
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    scrolled();
}

void DataSet::next()
{
    checkBrowseMode();
    if (eof_)
        return;
    bof_ = false;
    if (current_ + 1 >= recordCount())
        fetchMore(1);
    if (current_ + 1 < recordCount())
        ++current_;
    else
        eof_ = true;
    scrolled();
}

void DataSet::prior()
{
    checkBrowseMode();
    if (bof_)
        return;
    eof_ = false;
    if (current_ > 0)
        --current_;
    else
        bof_ = true;
    scrolled();
}

void DataSet::last()
{
    checkBrowseMode();
    fetchAll();
    current_ = recordCount() - 1;
    eof_ = true;
    bof_ = rows_.empty();
    scrolled();
}

void DataSet::moveTo(int index)
{
    checkBrowseMode();
    if (index >= recordCount())
        fetchMore(index + 1 - recordCount());
    if (index < 0 || index >= recordCount() || index == current_)
        return;
    current_ = index;
    bof_ = eof_ = false;
    scrolled();
}

// The row is complete (its key drawn, its calculated fields filled) before anyone hears of it.
void DataSet::beginNewRow(int index)
{
    checkModifiable();
    Row row;
    row.expanded = std::make_unique<Row::Expanded>();
    row.values().resize(fields_.size());
    row.status = RowStatus::Inserted;
    if (!generator_.isEmpty())
        row.values()[static_cast<std::size_t>(fieldByName(keyField_).index())] =
            generatorNextValue(transaction_, generator_);
    rows_.insert(rows_.begin() + index, std::move(row));
    current_ = index;
    bof_ = eof_ = false;
    modified_ = false;
    editBackup_.clear();
    state_ = State::Insert;
    const Notifying notifying(*this);
    emit rowInserted(index);
    notifyRowChanged(true);
}

void DataSet::insert()
{
    checkBrowseMode();
    beginNewRow(current_ < 0 ? 0 : current_);
}

void DataSet::append()
{
    checkBrowseMode();
    fetchAll();
    beginNewRow(recordCount());
}

void DataSet::edit()
{
    checkNotNotifying();
    checkActive();
    if (isEditing())
        return;
    checkModifiable();
    if (rows_.empty()) {
        insert();
        return;
    }
    Row& row = rows_[static_cast<std::size_t>(current_)];
    expand(row);
    if (row.status == RowStatus::Unmodified)
        row.original() = row.values();
    editBackup_ = row.values();
    modified_ = false;
    setState(State::Edit);
}

void DataSet::post()
{
    checkNotNotifying();
    checkActive();
    if (!isEditing())
        return;
    writeRecord();
    Row& row = rows_[static_cast<std::size_t>(current_)];
    for (const auto& field : fields_) {
        if (const std::optional<QString> refusal = field->refusal()) {
            {
                const Notifying notifying(*this);
                emit postRefused(field.get());
            }
            throw Error(*refusal);
        }
    }
    if (row.status == RowStatus::Unmodified)
        row.status = RowStatus::Modified;
    modified_ = false;
    editBackup_.clear();
    state_ = State::Browse;
    {
        const Notifying notifying(*this);
        emit stateChanged();
        emit dataChanged(nullptr);
    }
    if (afterPost)
        afterPost(*this);
}

// Every change is made before the views hear of it: a view that follows the current row
// must see the data set browsing, so that nothing it does can write into another row.
void DataSet::cancel()
{
    checkNotNotifying();
    checkActive();
    int removed = -1;
    if (state_ == State::Edit) {
        Row& row = rows_[static_cast<std::size_t>(current_)];
        row.values() = editBackup_;
        if (row.status == RowStatus::Unmodified)
            row.original().clear();
    } else if (state_ == State::Insert) {
        removed = current_;
        rows_.erase(rows_.begin() + removed);
        current_ = std::min(removed, recordCount() - 1);
        bof_ = eof_ = rows_.empty();
    } else {
        return;
    }
    modified_ = false;
    editBackup_.clear();
    state_ = State::Browse;
    const Notifying notifying(*this);
    if (removed >= 0)
        emit rowRemoved(removed);
    notifyRowChanged(true);
}

void DataSet::remove()
{
    checkNotNotifying();
    checkActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (rows_.empty())
        throw Error(ResourceStrings::load(ResourceStrings::DataSetEmpty));
    checkModifiable();
    const int removed = current_;
    Row row = std::move(rows_[static_cast<std::size_t>(removed)]);
    rows_.erase(rows_.begin() + removed);
    // A row never written needs no delete statement; the others are matched as they were read.
    if (row.status != RowStatus::Inserted) {
        expand(row);
        deleted_.push_back(std::move(row));
    }
    const int fetched = removed >= recordCount() ? fetchRows(1) : recordCount();
    current_ = std::min(removed, recordCount() - 1);
    bof_ = eof_ = rows_.empty();
    modified_ = false;
    editBackup_.clear();
    const bool wasEditing = isEditing();
    state_ = State::Browse;
    {
        const Notifying notifying(*this);
        emit rowRemoved(removed);
        notifyFetched(fetched);
        notifyRowChanged(wasEditing);
    }
    if (afterDelete)
        afterDelete(*this);
}

DataSet::RowStatus DataSet::rowStatus(int row) const
{
    return rows_.at(static_cast<std::size_t>(row)).status;
}

bool DataSet::updatesPending() const
{
    if (!deleted_.empty())
        return true;
    return std::any_of(rows_.begin(), rows_.end(),
                       [](const Row& row) { return row.status != RowStatus::Unmodified; });
}

void DataSet::execute(const QString& sql, const Row& row)
{
    Statement statement(transaction_, sql);
    for (const QString& name : statement.parameterNames()) {
        const bool old = name.startsWith(kOldPrefix);
        const Field& field = fieldByName(old ? name.mid(kOldPrefix.size()) : name);
        const auto index = static_cast<std::size_t>(field.index());
        statement.setParameter(name, old ? row.asRead()[index] : row.values()[index]);
    }
    statement.execute();
    if (statement.affectedRows() == 0)
        throw DbError(ResourceStrings::load(ResourceStrings::RowChanged));
    if (statement.affectedRows() != 1)
        throw DbError(ResourceStrings::load(ResourceStrings::UpdateFailed));
}

void DataSet::applyUpdates()
{
    checkNotNotifying();
    checkActive();
    checkModifiable();
    while (!deleted_.empty()) {
        execute(updateSql_->deleteSql, deleted_.front());
        deleted_.erase(deleted_.begin());
    }
    for (Row& row : rows_) {
        if (row.status == RowStatus::Unmodified)
            continue;
        // The row being edited is written when it is posted, not before.
        if (isEditing() && &row == &rows_[static_cast<std::size_t>(current_)])
            continue;
        execute(row.status == RowStatus::Inserted ? updateSql_->insertSql : updateSql_->modifySql,
                row);
        row.status = RowStatus::Unmodified;
        row.original().clear();
    }
}
