#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtEndian>

#include <optional>
#include <type_traits>

// Little-endian binary data as the language file holds it. Reads never go past the buffer:
// whatever does not lie wholly inside it reads as nothing.
namespace LittleEndian {

// The size bytes at byte at of bytes.
inline std::optional<QByteArrayView> slice(QByteArrayView bytes, qint64 at, qint64 size)
{
    if (at < 0 || size < 0 || at > bytes.size() || size > bytes.size() - at)
        return std::nullopt;
    return bytes.sliced(at, size);
}

// The integer of type T stored at byte at of bytes.
template <typename T> std::optional<T> read(QByteArrayView bytes, qint64 at)
{
    static_assert(std::is_integral_v<T>);
    const std::optional<QByteArrayView> field = slice(bytes, at, sizeof(T));
    if (!field)
        return std::nullopt;
    return qFromLittleEndian<T>(field->data());
}

template <typename T> void append(QByteArray& bytes, T value)
{
    static_assert(std::is_integral_v<T>);
    char field[sizeof(T)];
    qToLittleEndian(value, field);
    bytes.append(field, sizeof(T));
}

inline QByteArray toUtf16(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text)
        append<char16_t>(bytes, c.unicode());
    return bytes;
}

// An odd last byte is not a whole character and is dropped.
inline QString fromUtf16(QByteArrayView bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(qFromLittleEndian<char16_t>(bytes.data() + 2 * i));
    return text;
}

} // namespace LittleEndian
