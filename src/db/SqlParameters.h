#pragma once

#include <QString>
#include <QStringList>

// A statement with named parameters (":NAME") rewritten into the positional form the client
// library takes. Names are case-insensitive and may appear several times; a colon inside a
// quoted literal or a comment is text, not a parameter.
struct PositionalSql
{
    QString sql;                 // the statement with each parameter replaced by "?"
    QStringList namesByPosition; // upper-case name of each "?", in order
    QStringList distinctNames;   // upper-case names, each once, in order of first use
};

PositionalSql toPositionalSql(const QString& sql);
