#include "platform/LocaleNames.h"

#include <unicode/uloc.h>
#include <unicode/ustring.h>

#include <QMap>

namespace LocaleNames {

std::optional<QString> displayName(uint32_t lcid, const QString& displayLocale)
{
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_getLocaleForLCID(lcid, locale, sizeof locale, &status);
    if (U_FAILURE(status) || locale[0] == '\0')
        return std::nullopt;
    char language[ULOC_LANG_CAPACITY] = {};
    status = U_ZERO_ERROR;
    uloc_getLanguage(locale, language, sizeof language, &status);
    if (U_FAILURE(status) || language[0] == '\0')
        return std::nullopt;

    UChar name[256] = {};
    status = U_ZERO_ERROR;
    const QByteArray display = displayLocale.toLatin1();
    const int32_t length = uloc_getDisplayName(locale, display.constData(), name, 256, &status);
    if (U_FAILURE(status) || length <= 0)
        return std::nullopt;
    return QString(reinterpret_cast<const QChar*>(name), std::min(length, 255));
}

int defaultAnsiCodePage(uint32_t lcid)
{
    // By primary language, as the platform assigns them.
    static const QMap<uint32_t, int> byLanguage = {
        {0x01, 1256}, {0x02, 1251}, {0x05, 1250}, {0x08, 1253}, {0x0D, 1255}, {0x0E, 1250},
        {0x11, 932},  {0x12, 949},  {0x15, 1250}, {0x18, 1250}, {0x19, 1251}, {0x1A, 1250},
        {0x1B, 1250}, {0x1C, 1250}, {0x1E, 874},  {0x1F, 1254}, {0x20, 1256}, {0x22, 1251},
        {0x23, 1251}, {0x24, 1250}, {0x25, 1257}, {0x26, 1257}, {0x27, 1257}, {0x29, 1256},
        {0x2A, 1258}, {0x2F, 1251}, {0x3F, 1251}, {0x40, 1251}, {0x44, 1251}, {0x50, 1251},
    };
    const uint32_t primary = lcid & 0x3FF;
    if (primary == 0x04) // Chinese: traditional for Taiwan, Hong Kong and Macao
        return (lcid == 0x0404 || lcid == 0x0C04 || lcid == 0x1404) ? 950 : 936;
    if (primary == 0 || !displayName(lcid, QStringLiteral("en")))
        return 0;
    return byLanguage.value(primary, 1252);
}

} // namespace LocaleNames
