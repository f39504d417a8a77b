#pragma once

#include <QByteArray>
#include <QString>

// Conversion between QString and the Windows-1252 bytes that the database and every file the
// program writes use. This is the only place where 8-bit text becomes a QString or back.
namespace CodePage {

QString fromWin1252(const QByteArray& bytes);
QString fromWin1252(const char* data, qsizetype size);

// Text that a person or a script wrote: UTF-8 (a byte-order mark dropped) when the bytes are
// valid UTF-8, else Windows-1252. A text editor and the set-up script may write either.
QString fromUtf8OrWin1252(const QByteArray& bytes);

// Characters that Windows-1252 cannot hold become '?', as the platform's own conversion does.
QByteArray toWin1252(const QString& text);
// The position of the first character that Windows-1252 cannot hold, or -1.
qsizetype firstUnencodable(const QString& text);

// The text in code page codePage (0: the system's default, 1252), through iconv for the code
// pages other than 1252; characters the code page cannot hold become '?'.
QByteArray toCodePage(const QString& text, int codePage);

} // namespace CodePage
