#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// What the system knows of a Windows language identifier (LCID).
namespace LocaleNames {

// The language's full name ("português (Brasil)") in the language of displayLocale (an ICU
// locale name such as "pt_BR"); nothing for an identifier ICU does not know.
std::optional<QString> displayName(uint32_t lcid, const QString& displayLocale);

// The default ANSI code page of the language, 0 when it has none.
int defaultAnsiCodePage(uint32_t lcid);

} // namespace LocaleNames
