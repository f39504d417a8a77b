#include "db/Statement.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Transaction.h"
#include "platform/CodePage.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cstring>
#include <limits>

using namespace Firebird;

namespace {

constexpr unsigned kBlobChunk = 32768;
constexpr unsigned kFractionsPerMillisecond = 10; // ISC_TIME counts 1/10000 s

ColumnInfo::Kind kindOf(unsigned type, int subType, int scale)
{
    switch (type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return scale == 0 ? ColumnInfo::Kind::Integer : ColumnInfo::Kind::Float;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return ColumnInfo::Kind::Float;
    case SQL_TEXT:
    case SQL_VARYING:
        return ColumnInfo::Kind::Text;
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return ColumnInfo::Kind::DateTime;
    case SQL_BLOB:
        return subType == 1 ? ColumnInfo::Kind::TextBlob : ColumnInfo::Kind::BinaryBlob;
    default:
        return ColumnInfo::Kind::Other;
    }
}

template <typename T> T readAt(const unsigned char* buffer, unsigned offset)
{
    T value;
    std::memcpy(&value, buffer + offset, sizeof value);
    return value;
}

template <typename T> void writeAt(unsigned char* buffer, unsigned offset, T value)
{
    std::memcpy(buffer + offset, &value, sizeof value);
}

double scaled(qint64 value, int scale)
{
    double result = static_cast<double>(value);
    for (int i = 0; i < -scale; ++i)
        result /= 10;
    for (int i = 0; i < scale; ++i)
        result *= 10;
    return result;
}

// ISC_DATE counts days from 17 November 1858, the day before Julian day 2400001.
constexpr qint64 kJulianDayOfDateZero = 2400001;

QDate decodeDate(ISC_DATE date)
{
    return QDate::fromJulianDay(qint64(date) + kJulianDayOfDateZero);
}

QTime decodeTime(ISC_TIME time)
{
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(time / kFractionsPerMillisecond));
}

// The tags of packed values.
enum PackedTag : unsigned char
{
    PackedNull,
    PackedInteger,   // 8 bytes
    PackedFloat,     // 8 bytes, a double
    PackedText,      // 2 bytes of length, then the Windows-1252 bytes
    PackedTimestamp, // 8 bytes, an ISC_TIMESTAMP
    PackedTime,      // 4 bytes, an ISC_TIME
    PackedTextBlob,  // 8 bytes, an ISC_QUAD
    PackedBinaryBlob,
    PackedBoolean, // 1 byte
    // The common values in fewer bytes; a row costs what it holds.
    PackedShortText, // 1 byte of length (under 256), then the Windows-1252 bytes
    PackedInteger32, // 4 bytes, an integer that fits them
    PackedDate,      // 4 bytes, an ISC_DATE, the time being midnight
};

qsizetype payloadSize(const char* at)
{
    switch (static_cast<unsigned char>(*at)) {
    case PackedNull:
        return 0;
    case PackedText: {
        ISC_USHORT length;
        std::memcpy(&length, at + 1, sizeof length);
        return qsizetype(sizeof length) + length;
    }
    case PackedShortText:
        return 1 + static_cast<unsigned char>(at[1]);
    case PackedTime:
        return sizeof(ISC_TIME);
    case PackedInteger32:
        return sizeof(qint32);
    case PackedDate:
        return sizeof(ISC_DATE);
    case PackedBoolean:
        return 1;
    default:
        return 8;
    }
}

// The tag of the value at position, or null when the row holds fewer values.
const char* packedAt(QByteArrayView packed, int position)
{
    const char* at = packed.constData();
    const char* end = at + packed.size();
    for (int i = 0; i < position && at < end; ++i)
        at += 1 + payloadSize(at);
    return at < end ? at : nullptr;
}

ISC_TIMESTAMP encodeTimestamp(const QDateTime& moment)
{
    IUtil* util = FbClient::instance().util();
    const QDate date = moment.date();
    const QTime time = moment.time();
    ISC_TIMESTAMP stamp;
    stamp.timestamp_date =
        util->encodeDate(static_cast<unsigned>(date.year()), static_cast<unsigned>(date.month()),
                         static_cast<unsigned>(date.day()));
    stamp.timestamp_time =
        util->encodeTime(static_cast<unsigned>(time.hour()), static_cast<unsigned>(time.minute()),
                         static_cast<unsigned>(time.second()),
                         static_cast<unsigned>(time.msec()) * kFractionsPerMillisecond);
    return stamp;
}

QByteArray readBlob(Transaction& transaction, ISC_QUAD id)
{
    FbStatus status;
    FbRef<IBlob> blob(transaction.connection().attachment()->openBlob(&status, transaction.handle(),
                                                                      &id, 0, nullptr));
    QByteArray bytes;
    char chunk[kBlobChunk];
    for (;;) {
        unsigned got = 0;
        const int result = blob->getSegment(&status, sizeof chunk, chunk, &got);
        if (result != IStatus::RESULT_OK && result != IStatus::RESULT_SEGMENT)
            break;
        bytes.append(chunk, got);
    }
    blob->close(&status);
    blob.release();
    return bytes;
}

ISC_QUAD writeBlob(Transaction& transaction, const QByteArray& bytes)
{
    FbStatus status;
    ISC_QUAD id;
    FbRef<IBlob> blob(transaction.connection().attachment()->createBlob(
        &status, transaction.handle(), &id, 0, nullptr));
    for (qsizetype at = 0; at < bytes.size(); at += kBlobChunk) {
        const auto length = static_cast<unsigned>(qMin<qsizetype>(kBlobChunk, bytes.size() - at));
        blob->putSegment(&status, length, bytes.constData() + at);
    }
    blob->close(&status);
    blob.release();
    return id;
}

QByteArray bytesOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    return CodePage::toWin1252(value.toString());
}

bool isIntegerValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

} // namespace

struct Statement::InputMessage
{
    FbRef<IMessageMetadata> metadata;
    std::vector<unsigned char> buffer;
};

Statement::Statement(Transaction& transaction, const QString& sql)
    : transaction_(transaction), sql_(sql), positional_(toPositionalSql(sql))
{
    parameterValues_.resize(positional_.distinctNames.size());
    if (!transaction_.isActive())
        transaction_.start();

    FbStatus status;
    const QByteArray text = CodePage::toWin1252(positional_.sql);
    statement_.reset(transaction_.connection().attachment()->prepare(
        &status, transaction_.handle(), static_cast<unsigned>(text.size()), text.constData(),
        Connection::kDialect, IStatement::PREPARE_PREFETCH_METADATA));
    const unsigned type = statement_->getType(&status);
    isSelect_ = type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
    inputMetadata_.reset(statement_->getInputMetadata(&status));
    outputMetadata_.reset(statement_->getOutputMetadata(&status));

    const unsigned count = outputMetadata_->getCount(&status);
    columns_.reserve(count);
    layout_.reserve(count);
    qsizetype packedRowLimit = 0;
    for (unsigned i = 0; i < count; ++i) {
        Layout layout;
        layout.offset = outputMetadata_->getOffset(&status, i);
        layout.nullOffset = outputMetadata_->getNullOffset(&status, i);
        layout.type = outputMetadata_->getType(&status, i);
        layout.subType = outputMetadata_->getSubType(&status, i);
        layout.scale = outputMetadata_->getScale(&status, i);
        layout.length = outputMetadata_->getLength(&status, i);
        layout_.push_back(layout);
        // A tag, then at most a length and the text or eight bytes.
        packedRowLimit +=
            1 + std::max<qsizetype>(sizeof(qint64), sizeof(ISC_USHORT) + layout.length);
        ColumnInfo column;
        column.name = QString::fromLatin1(outputMetadata_->getAlias(&status, i));
        column.kind = kindOf(layout.type, layout.subType, layout.scale);
        column.length = static_cast<int>(layout.length);
        column.nullable = outputMetadata_->isNullable(&status, i);
        columns_.push_back(column);
    }
    outputBuffer_.resize(outputMetadata_->getMessageLength(&status));
    packing_.resize(packedRowLimit);
}

Statement::~Statement()
{
    try {
        close();
    } catch (const DbError&) {
        // Releasing the cursor frees it anyway.
    }
}

bool Statement::hasParameter(const QString& name) const
{
    return positional_.distinctNames.contains(name.toUpper());
}

void Statement::setParameter(const QString& name, const QVariant& value)
{
    const qsizetype index = positional_.distinctNames.indexOf(name.toUpper());
    if (index < 0)
        throw DbError(QStringLiteral("Parameter %1 not found").arg(name));
    parameterValues_[index] = value;
}

void Statement::setParameter(int index, const QVariant& value)
{
    if (index < 0 || index >= parameterValues_.size())
        throw DbError(QStringLiteral("Parameter index %1 out of range").arg(index));
    parameterValues_[index] = value;
}

QVariant Statement::parameter(const QString& name) const
{
    const qsizetype index = positional_.distinctNames.indexOf(name.toUpper());
    return index < 0 ? QVariant() : parameterValues_.at(index);
}

Statement::InputMessage Statement::buildInputMessage()
{
    InputMessage message;
    FbStatus status;
    const unsigned count = inputMetadata_->getCount(&status);
    if (count == 0)
        return message;

    // The message describes each value as what it is; the database converts it to the
    // parameter's type, and a text longer than the prepared width is the database's to judge.
    std::vector<QVariant> values(count);
    FbRef<IMetadataBuilder> builder(inputMetadata_->getBuilder(&status));
    for (unsigned i = 0; i < count; ++i) {
        values[i] = parameterValues_.at(
            positional_.distinctNames.indexOf(positional_.namesByPosition.at(i)));
        const QVariant& value = values[i];
        if (value.isNull() || inputMetadata_->getType(&status, i) == SQL_BLOB)
            continue;
        if (isIntegerValue(value)) {
            builder->setType(&status, i, SQL_INT64);
            builder->setLength(&status, i, sizeof(ISC_INT64));
            builder->setScale(&status, i, 0);
        } else if (value.typeId() == QMetaType::Double) {
            builder->setType(&status, i, SQL_DOUBLE);
            builder->setLength(&status, i, sizeof(double));
            builder->setScale(&status, i, 0);
        } else if (value.typeId() == QMetaType::QDateTime || value.typeId() == QMetaType::QDate) {
            builder->setType(&status, i, SQL_TIMESTAMP);
            builder->setLength(&status, i, sizeof(ISC_TIMESTAMP));
        } else {
            const auto length = static_cast<unsigned>(qMax<qsizetype>(1, bytesOf(value).size()));
            builder->setType(&status, i, SQL_VARYING);
            builder->setLength(&status, i, length);
        }
    }
    message.metadata.reset(builder->getMetadata(&status));
    IMessageMetadata* metadata = message.metadata.get();
    message.buffer.assign(metadata->getMessageLength(&status), 0);
    unsigned char* buffer = message.buffer.data();

    for (unsigned i = 0; i < count; ++i) {
        const QVariant& value = values[i];
        const unsigned offset = metadata->getOffset(&status, i);
        const bool isNull = value.isNull();
        writeAt<short>(buffer, metadata->getNullOffset(&status, i), isNull ? -1 : 0);
        if (isNull)
            continue;
        switch (metadata->getType(&status, i)) {
        case SQL_BLOB:
            writeAt(buffer, offset, writeBlob(transaction_, bytesOf(value)));
            break;
        case SQL_INT64:
            writeAt<ISC_INT64>(buffer, offset, value.toLongLong());
            break;
        case SQL_DOUBLE:
            writeAt(buffer, offset, value.toDouble());
            break;
        case SQL_TIMESTAMP:
            writeAt(buffer, offset,
                    encodeTimestamp(value.typeId() == QMetaType::QDate ? value.toDate().startOfDay()
                                                                       : value.toDateTime()));
            break;
        default: {
            const QByteArray bytes = bytesOf(value);
            writeAt(buffer, offset, static_cast<ISC_USHORT>(bytes.size()));
            std::memcpy(buffer + offset + sizeof(ISC_USHORT), bytes.constData(),
                        static_cast<std::size_t>(bytes.size()));
        }
        }
    }
    return message;
}

void Statement::execute()
{
    close();
    if (!transaction_.isActive())
        transaction_.start();
    InputMessage input = buildInputMessage();
    FbStatus status;
    affectedRows_ = 0;
    hasRow_ = false;
    if (isSelect_) {
        cursor_.reset(statement_->openCursor(&status, transaction_.handle(), input.metadata.get(),
                                             input.buffer.data(), outputMetadata_.get(), 0));
        return;
    }
    const bool hasOutput = !columns_.empty();
    statement_->execute(&status, transaction_.handle(), input.metadata.get(), input.buffer.data(),
                        hasOutput ? outputMetadata_.get() : nullptr,
                        hasOutput ? outputBuffer_.data() : nullptr);
    affectedRows_ = static_cast<qint64>(statement_->getAffectedRecords(&status));
    hasRow_ = hasOutput;
}

bool Statement::fetchNext()
{
    if (!cursor_)
        return false;
    FbStatus status;
    if (cursor_->fetchNext(&status, outputBuffer_.data()) == IStatus::RESULT_OK) {
        hasRow_ = true;
        return true;
    }
    close();
    return false;
}

void Statement::close()
{
    if (!cursor_)
        return;
    FbStatus status;
    cursor_->close(&status);
    cursor_.release();
}

int Statement::columnIndex(const QString& name) const
{
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QVariant Statement::value(int column) const
{
    if (!hasRow_ || column < 0 || column >= columnCount())
        return {};
    return readColumn(static_cast<unsigned>(column));
}

QVariant Statement::value(const QString& name) const
{
    return value(columnIndex(name));
}

QByteArrayView Statement::packRow(const std::vector<int>& columns) const
{
    // Packed into a buffer kept between rows, sized at prepare for any row of the statement;
    // who keeps the row copies it.
    char* const begin = packing_.data();
    char* out = begin;
    const unsigned char* buffer = outputBuffer_.data();
    const auto append = [&out](PackedTag tag, const void* data, std::size_t size) {
        *out++ = char(tag);
        std::memcpy(out, data, size);
        out += size;
    };
    const auto appendText = [&out, &append](ISC_USHORT length, const unsigned char* text) {
        if (length <= std::numeric_limits<unsigned char>::max()) {
            const auto shortLength = static_cast<unsigned char>(length);
            append(PackedShortText, &shortLength, 1);
        } else {
            append(PackedText, &length, sizeof length);
        }
        std::memcpy(out, text, length);
        out += length;
    };
    for (const int column : columns) {
        const Layout& layout = layout_.at(static_cast<std::size_t>(column));
        if (readAt<short>(buffer, layout.nullOffset) != 0) {
            *out++ = char(PackedNull);
            continue;
        }
        const unsigned char* data = buffer + layout.offset;
        switch (layout.type) {
        case SQL_VARYING:
            appendText(readAt<ISC_USHORT>(buffer, layout.offset), data + sizeof(ISC_USHORT));
            break;
        case SQL_TEXT:
            appendText(static_cast<ISC_USHORT>(layout.length), data);
            break;
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
        case SQL_BOOLEAN: {
            const QVariant value = readColumn(static_cast<unsigned>(column));
            if (value.typeId() == QMetaType::Bool) {
                const char flag = value.toBool() ? 1 : 0;
                append(PackedBoolean, &flag, 1);
            } else if (value.typeId() == QMetaType::Double) {
                const double number = value.toDouble();
                append(PackedFloat, &number, sizeof number);
            } else if (const qint64 number = value.toLongLong();
                       number >= std::numeric_limits<qint32>::min() &&
                       number <= std::numeric_limits<qint32>::max()) {
                const auto small = static_cast<qint32>(number);
                append(PackedInteger32, &small, sizeof small);
            } else {
                append(PackedInteger, &number, sizeof number);
            }
            break;
        }
        case SQL_TIMESTAMP:
            append(PackedTimestamp, data, sizeof(ISC_TIMESTAMP));
            break;
        case SQL_TYPE_DATE:
            append(PackedDate, data, sizeof(ISC_DATE));
            break;
        case SQL_TYPE_TIME:
            append(PackedTime, data, sizeof(ISC_TIME));
            break;
        case SQL_BLOB:
            append(layout.subType == 1 ? PackedTextBlob : PackedBinaryBlob, data, sizeof(ISC_QUAD));
            break;
        default:
            *out++ = char(PackedNull);
        }
    }
    return QByteArrayView(begin, out - begin);
}

bool isNullPacked(QByteArrayView packed, int position)
{
    const char* at = packedAt(packed, position);
    return !at || static_cast<unsigned char>(*at) == PackedNull;
}

QVariant unpackValue(QByteArrayView packed, int position)
{
    const char* at = packedAt(packed, position);
    if (!at)
        return {};
    const auto* data = reinterpret_cast<const unsigned char*>(at + 1);
    switch (static_cast<unsigned char>(*at)) {
    case PackedInteger:
        return readAt<qint64>(data, 0);
    case PackedInteger32:
        return qint64(readAt<qint32>(data, 0));
    case PackedFloat:
        return readAt<double>(data, 0);
    case PackedText: {
        const auto length = readAt<ISC_USHORT>(data, 0);
        return CodePage::fromWin1252(at + 1 + sizeof length, length);
    }
    case PackedShortText:
        return CodePage::fromWin1252(at + 2, *data);
    case PackedTimestamp: {
        const auto stamp = readAt<ISC_TIMESTAMP>(data, 0);
        return QDateTime(decodeDate(stamp.timestamp_date), decodeTime(stamp.timestamp_time));
    }
    case PackedDate:
        return QDateTime(decodeDate(readAt<ISC_DATE>(data, 0)), QTime(0, 0));
    case PackedTime:
        return decodeTime(readAt<ISC_TIME>(data, 0));
    case PackedTextBlob:
    case PackedBinaryBlob:
        return QVariant::fromValue(
            BlobRef{readAt<ISC_QUAD>(data, 0), static_cast<unsigned char>(*at) == PackedTextBlob});
    case PackedBoolean:
        return *data != 0;
    default:
        return {};
    }
}

QVariant readBlobValue(Transaction& transaction, const BlobRef& blob)
{
    const QByteArray bytes = readBlob(transaction, blob.id);
    return blob.text ? QVariant(CodePage::fromWin1252(bytes)) : QVariant(bytes);
}

QVariant Statement::readColumn(unsigned index) const
{
    const Layout& layout = layout_[index];
    const unsigned char* buffer = outputBuffer_.data();
    if (readAt<short>(buffer, layout.nullOffset) != 0)
        return {};
    const unsigned offset = layout.offset;
    const int scale = layout.scale;
    switch (layout.type) {
    case SQL_SHORT: {
        const auto v = readAt<short>(buffer, offset);
        return scale == 0 ? QVariant(int(v)) : QVariant(scaled(v, scale));
    }
    case SQL_LONG: {
        const auto v = readAt<ISC_LONG>(buffer, offset);
        return scale == 0 ? QVariant(int(v)) : QVariant(scaled(v, scale));
    }
    case SQL_INT64: {
        const auto v = readAt<ISC_INT64>(buffer, offset);
        return scale == 0 ? QVariant(qint64(v)) : QVariant(scaled(v, scale));
    }
    case SQL_FLOAT:
        return double(readAt<float>(buffer, offset));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return readAt<double>(buffer, offset);
    case SQL_TEXT:
        return CodePage::fromWin1252(reinterpret_cast<const char*>(buffer + offset), layout.length);
    case SQL_VARYING: {
        const auto length = readAt<ISC_USHORT>(buffer, offset);
        return CodePage::fromWin1252(
            reinterpret_cast<const char*>(buffer + offset + sizeof(ISC_USHORT)), length);
    }
    case SQL_TIMESTAMP: {
        const auto stamp = readAt<ISC_TIMESTAMP>(buffer, offset);
        return QDateTime(decodeDate(stamp.timestamp_date), decodeTime(stamp.timestamp_time));
    }
    case SQL_TYPE_DATE:
        return QDateTime(decodeDate(readAt<ISC_DATE>(buffer, offset)), QTime(0, 0));
    case SQL_TYPE_TIME:
        return decodeTime(readAt<ISC_TIME>(buffer, offset));
    case SQL_BLOB:
        return readBlobValue(transaction_, {readAt<ISC_QUAD>(buffer, offset), layout.subType == 1});
    case SQL_BOOLEAN:
        return readAt<unsigned char>(buffer, offset) != 0;
    default:
        return {};
    }
}

qint64 generatorNextValue(Transaction& transaction, const QString& generator, int increment)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    if (!identifier.match(generator).hasMatch())
        throw DbError(QStringLiteral("Invalid generator name: %1").arg(generator));
    Statement query(
        transaction,
        QStringLiteral("SELECT GEN_ID(%1, %2) FROM RDB$DATABASE").arg(generator).arg(increment));
    query.execute();
    if (!query.fetchNext())
        throw DbError(QStringLiteral("Generator %1 returned no value").arg(generator));
    const QVariant value = query.value(0);
    query.close();
    return value.toLongLong();
}
