#pragma once

#include <QString>
#include <QStringList>

// Splits an SQL script into its statements. Statements end with the terminator, ";" until a
// "SET TERM" statement changes it (as the schema does around a procedure body); a terminator
// inside a literal or a comment does not count. SET TERM itself and empty statements are
// dropped.
QStringList splitSqlScript(const QString& script);
