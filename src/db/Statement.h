#pragma once

#include "db/FbClient.h"
#include "db/SqlParameters.h"

#include <QVariant>
#include <QVector>

#include <vector>

class Transaction;

// What the database says of one result column.
struct ColumnInfo
{
    enum class Kind
    {
        Integer,
        Float,
        Text,
        DateTime,
        TextBlob,
        BinaryBlob,
        Other
    };

    QString name; // the column's alias, which is its name unless the statement renames it
    Kind kind = Kind::Other;
    int length = 0; // characters of a text column
    bool nullable = true;
};

// A text blob's identifier as a packed row keeps it: the text is read only when asked for.
struct BlobRef
{
    ISC_QUAD id{};
    bool text = true;
};
Q_DECLARE_METATYPE(BlobRef)

// A row's values packed into few bytes, each value tagged with its kind; blobs are kept as
// BlobRef. unpackValue walks to the value at position (0 is the first packed).
QVariant unpackValue(QByteArrayView packed, int position);
bool isNullPacked(QByteArrayView packed, int position);

// The contents of a blob, read through transaction; text blobs as QString.
QVariant readBlobValue(Transaction& transaction, const BlobRef& blob);

// A prepared statement with named parameters. Results are fetched one row at a time on
// demand, so the first rows of a large result cost no more than the database needs for them.
//
// Values are QVariants: a null QVariant is NULL; integers, doubles, QString for text and
// text blobs, QDateTime for dates (a dialect-1 DATE holds a date and a time of day),
// QByteArray for binary blobs. A QDate parameter is that date at midnight.
class Statement
{
public:
    // Prepares at once; starts the transaction when it is not active.
    Statement(Transaction& transaction, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    QString sql() const { return sql_; }

    // Upper-case names, each once, in order of first use.
    const QStringList& parameterNames() const { return positional_.distinctNames; }
    bool hasParameter(const QString& name) const;
    // Throws DbError for a name the statement does not have.
    void setParameter(const QString& name, const QVariant& value);
    void setParameter(int index, const QVariant& value);
    QVariant parameter(const QString& name) const;

    // Runs the statement; a select opens its cursor, positioned before the first row.
    void execute();
    // Moves to the next row of an open cursor; false (and the cursor closed) past the last.
    bool fetchNext();
    bool isOpen() const { return static_cast<bool>(cursor_); }
    void close();

    // Rows inserted, updated or deleted by the last execute().
    qint64 affectedRows() const { return affectedRows_; }

    int columnCount() const { return static_cast<int>(columns_.size()); }
    const ColumnInfo& column(int index) const { return columns_.at(index); }
    // -1 when there is no column of that name (compared without regard to case).
    int columnIndex(const QString& name) const;
    // The value of a column in the current row, converted when asked for.
    QVariant value(int column) const;
    QVariant value(const QString& name) const;
    // The current row's values of the given columns, packed (see unpackValue), blobs unread;
    // valid until the next row is packed.
    QByteArrayView packRow(const std::vector<int>& columns) const;

private:
    struct InputMessage;
    InputMessage buildInputMessage();
    // Where and what each result column is in the output message.
    struct Layout
    {
        unsigned offset = 0;
        unsigned nullOffset = 0;
        unsigned type = 0;
        int subType = 0;
        int scale = 0;
        unsigned length = 0;
    };
    QVariant readColumn(unsigned index) const;

    Transaction& transaction_;
    QString sql_;
    PositionalSql positional_;
    QVector<QVariant> parameterValues_; // by index in parameterNames()
    FbRef<Firebird::IStatement> statement_;
    FbRef<Firebird::IMessageMetadata> inputMetadata_;
    FbRef<Firebird::IMessageMetadata> outputMetadata_;
    FbRef<Firebird::IResultSet> cursor_;
    std::vector<unsigned char> outputBuffer_;
    std::vector<ColumnInfo> columns_;
    std::vector<Layout> layout_;
    mutable QByteArray packing_; // room for the largest packed row
    bool hasRow_ = false;
    qint64 affectedRows_ = 0;
    bool isSelect_ = false;
};

// The next value of a generator (GEN_ID with the given increment).
qint64 generatorNextValue(Transaction& transaction, const QString& generator, int increment = 1);
