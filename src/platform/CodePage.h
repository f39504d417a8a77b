#pragma once

#include <QByteArray>
#include <QString>

// Conversion between QString and the Windows-1252 bytes that the database and every file the
// program writes use. This is the only place where 8-bit text becomes a QString or back.
namespace CodePage {

QString fromWin1252(const QByteArray& bytes);
QString fromWin1252(const char* data, qsizetype size);

// Characters that Windows-1252 cannot hold become '?', as the platform's own conversion does.
QByteArray toWin1252(const QString& text);

} // namespace CodePage
