#include "platform/CodePage.h"

#include <QList>
#include <QStringDecoder>

#include <array>

#include <iconv.h>

namespace CodePage {
namespace {

// An iconv conversion from UTF-8, closed with its owner.
class IconvConverter
{
public:
    explicit IconvConverter(const QByteArray& toCode)
        : handle_(iconv_open(toCode.constData(), "UTF-8"))
    {
    }
    ~IconvConverter()
    {
        if (isValid())
            iconv_close(handle_);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    bool isValid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // The converted bytes, or nothing when the input cannot be converted.
    QByteArray convert(QByteArray in) const
    {
        char out[16];
        char* inPtr = in.data();
        char* outPtr = out;
        std::size_t inLeft = static_cast<std::size_t>(in.size());
        std::size_t outLeft = sizeof out;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            return {};
        return QByteArray(out, static_cast<qsizetype>(sizeof out - outLeft));
    }

private:
    iconv_t handle_;
};

// 0x80..0x9F; the five bytes that Windows-1252 leaves undefined map to the C1 control of the
// same value, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QString fromWin1252(const char* data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out[i] = (byte >= 0x80 && byte < 0xA0) ? QChar(kHighControls[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QString fromWin1252(const QByteArray& bytes)
{
    return fromWin1252(bytes.constData(), bytes.size());
}

QString fromUtf8OrWin1252(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return fromWin1252(bytes);
    return text.startsWith(QChar::ByteOrderMark) ? text.mid(1) : text;
}

QByteArray toWin1252(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = encodeChar(text.at(i).unicode());
    return bytes;
}

qsizetype firstUnencodable(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (encodeChar(text.at(i).unicode()) == '?' && text.at(i) != u'?')
            return i;
    }
    return -1;
}

QByteArray toCodePage(const QString& text, int codePage)
{
    if (codePage == 0 || codePage == 1252)
        return toWin1252(text);
    const IconvConverter converter("CP" + QByteArray::number(codePage));
    if (!converter.isValid())
        return toWin1252(text);
    QByteArray result;
    // One character at a time, so that one the code page lacks costs only itself.
    for (const uint ucs4 : text.toUcs4()) {
        const char32_t codePoint = ucs4;
        const QByteArray converted = converter.convert(QString::fromUcs4(&codePoint, 1).toUtf8());
        result += converted.isEmpty() ? QByteArray("?") : converted;
    }
    return result;
}

} // namespace CodePage
