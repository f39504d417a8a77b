#pragma once

#include "db/Field.h"
#include "db/PackedRows.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class Statement;
class Transaction;

// The statements that write a cached data set's changes. Parameters are named after the
// fields; a name that begins with OLD_ takes the value the row had when it was read.
struct UpdateSql
{
    QString insertSql;
    QString modifySql;
    QString deleteSql;
};

// A query data set: a statement, its named parameters, and a fixed list of fields bound to
// the result by name. Rows are fetched on demand. Changes are cached in the data set (rows
// marked inserted, modified or deleted) until applyUpdates() writes them.
class DataSet : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert
    };
    enum class RowStatus
    {
        Unmodified,
        Modified,
        Inserted
    };

    explicit DataSet(Transaction& transaction, QObject* parent = nullptr);
    ~DataSet() override;

    Transaction& transaction() const { return transaction_; }

    // Changing the statement closes the data set; the parameters keep their values where
    // the new statement has the same names.
    QString sql() const { return sql_; }
    void setSql(const QString& sql);
    QStringList parameterNames() const { return parameterNames_; }
    void setParameter(const QString& name, const QVariant& value);
    void setParameter(int index, const QVariant& value);
    QVariant parameter(const QString& name) const;

    Field& addField(const QString& name, Field::Kind kind, int size = 0);
    Field& addCalculatedField(const QString& name, Field::Kind kind, int size = 0);
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    Field& field(int index) const { return *fields_.at(static_cast<std::size_t>(index)); }
    Field* findField(const QString& name) const;
    // Throws Error "Field '%s' not found".
    Field& fieldByName(const QString& name) const;

    // Without update statements the data set is read only.
    void setUpdateSql(const UpdateSql* updateSql) { updateSql_ = updateSql; }
    bool isModifiable() const { return updateSql_ != nullptr; }
    // A new row's key field, when still NULL, gets the generator's next value at once.
    void setGenerator(const QString& generator, const QString& keyField);

    // Handlers, run on the user-interface thread. An error they throw reaches the caller of
    // the operation that ran them.
    std::function<void(DataSet&)> onCalcFields; // fills the calculated fields of a row
    std::function<void(DataSet&)> afterPost;
    std::function<void(DataSet&)> afterDelete;

    // Writers run before a post and before leaving an edited row, so that controls put their
    // pending input into the fields first. An error they throw stops the post.
    int addRecordWriter(std::function<void()> writer);
    void removeRecordWriter(int id);

    // Rows read at once when the data set opens (a grid asks for one screen); at least one.
    void setInitialFetch(int rows) { initialFetch_ = std::max(1, rows); }

    // Opens the connection and starts the transaction when needed, runs the statement and
    // reads the first rows.
    void open();
    // Runs sql in place of the statement, as closing and opening again would, but the views
    // hear of one change only. When it fails the data set is left closed.
    void reopen(const QString& sql);
    // Discards an edit in progress and every change not yet written.
    void close();
    bool isActive() const { return state_ != State::Inactive; }
    State state() const { return state_; }
    bool isEditing() const { return state_ == State::Edit || state_ == State::Insert; }

    // Start flag: set by opening, by first() and by trying to move before the first row,
    // cleared by moving forward. End flag: set by last() and by trying to move past the last
    // row, cleared by moving back. Both set only when there is no row.
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    bool isEmpty() const { return rows_.empty(); }

    void first();
    void prior();
    void next();
    void last();
    // Makes row index current (a row the grid shows), fetching up to it.
    void moveTo(int index);
    int currentIndex() const { return current_; }

    // Rows read so far; more may follow while canFetchMore().
    int recordCount() const { return static_cast<int>(rows_.size()); }
    bool canFetchMore() const;
    void fetchMore(int count);
    void fetchAll();
    // A field's value in a row; a text blob is read from the database for it.
    QVariant value(int row, int field) const;
    // Whether a field is NULL in a row, without reading a blob.
    bool isNull(int row, int field) const;

    void insert(); // a new row before the current one
    void append(); // a new row after the last
    void edit();
    void post();
    void cancel();
    void remove();
    // True when a field of the row being edited or entered was changed.
    bool isModified() const { return modified_; }
    // True while the data set tells its views of a change. A view's handler only reads then:
    // an operation started from it is refused with an error.
    bool isNotifying() const { return notifying_ > 0; }

    RowStatus rowStatus(int row) const;
    bool updatesPending() const;
    // Writes every marked row with the update statements, deleted rows first, then the others
    // in row order. Each statement must affect exactly one row, else "Update Failed" (a modify
    // or delete statement that matches the row as it was read finds none when another
    // connection changed or deleted it since); a row that fails stays marked and is written
    // again by the next call.
    void applyUpdates();

signals:
    void stateChanged();
    // A field of the current row changed (field set), or the whole row did (field null).
    void dataChanged(const Field* field);
    void currentRowChanged();
    // The rows were replaced (open, close).
    void rowsReset();
    void rowsFetched(int first, int last);
    void rowInserted(int row);
    void rowRemoved(int row);
    // A post was refused because this field has no value.
    void postRefused(const Field* field);

private:
    friend class Field;

    // A row as read is kept packed, its blobs unread. It is expanded into one value per field
    // when it is edited, entered or deleted, or a blob of it is shown; its values as read are
    // kept beside them only while a change of it is not yet written.
    struct Row
    {
        struct Expanded
        {
            std::vector<QVariant> values;
            std::vector<QVariant> original;
        };
        QByteArrayView packed; // in packedRows_
        std::unique_ptr<Expanded> expanded;
        RowStatus status = RowStatus::Unmodified;

        bool isExpanded() const { return expanded != nullptr; }
        std::vector<QVariant>& values() { return expanded->values; }
        const std::vector<QVariant>& values() const { return expanded->values; }
        std::vector<QVariant>& original() { return expanded->original; }
        const std::vector<QVariant>& asRead() const
        {
            return expanded->original.empty() ? expanded->values : expanded->original;
        }
    };

    // Marks the data set as notifying while it lives.
    class Notifying
    {
    public:
        explicit Notifying(DataSet& dataSet) : dataSet_(dataSet) { ++dataSet_.notifying_; }
        ~Notifying() { --dataSet_.notifying_; }
        Notifying(const Notifying&) = delete;
        Notifying& operator=(const Notifying&) = delete;

    private:
        DataSet& dataSet_;
    };

    Field& createField(const QString& name, Field::Kind kind, int size, bool calculated);
    // The value of a field of the current row (or of the row being calculated) for Field.
    QVariant currentValue(int field);
    QVariant currentOriginalValue(int field);
    void setFieldValue(const Field& field, const QVariant& value);
    // A stored field's value; a blob as its BlobRef.
    QVariant storedValue(const Row& row, int field) const;
    QVariant calculatedValue(const Row& row, int field) const;
    QVariant resolved(const QVariant& value) const;
    void expand(Row& row) const;
    std::unique_ptr<Statement> prepareSelect();
    void adopt(std::unique_ptr<Statement> select);
    bool fetchRow();
    // Fetches up to count rows without telling anyone; returns the index of the first one.
    int fetchRows(int count);
    void notifyFetched(int first);
    void beginNewRow(int index);
    void checkBrowseMode();
    void writeRecord();
    void checkNotNotifying() const;
    void checkActive() const;
    void checkModifiable() const;
    void setState(State state);
    // The rows were replaced: the state, the current row and every row may differ.
    void notifyReset();
    // The row and the current position changed, and the state when stateChanged.
    void notifyRowChanged(bool stateChanged);
    void scrolled();
    void execute(const QString& sql, const Row& row);

    Transaction& transaction_;
    QString sql_;
    QStringList parameterNames_;
    QVariantMap parameters_;
    std::vector<std::unique_ptr<Field>> fields_;
    const UpdateSql* updateSql_ = nullptr;
    QString generator_;
    QString keyField_;

    State state_ = State::Inactive;
    std::unique_ptr<Statement> select_;
    std::vector<int> packedColumns_;  // the result column of each stored field, in field order
    std::vector<int> packedPosition_; // each field's place in a packed row, -1 when calculated
    std::vector<Row> rows_;
    std::vector<Row> deleted_; // deleted rows not yet written
    PackedRows packedRows_;    // what rows_ and deleted_ hold packed
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    std::vector<QVariant> editBackup_;
    mutable const Row* calculating_ = nullptr; // the row onCalcFields is working out
    mutable std::vector<QVariant> calculated_; // what it has worked out so far
    int notifying_ = 0;
    int initialFetch_ = 1;
    std::map<int, std::function<void()>> recordWriters_;
    int nextWriterId_ = 0;
};
