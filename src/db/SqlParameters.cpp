#include "db/SqlParameters.h"

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Index just past the literal or comment starting at i, or i when none starts there.
qsizetype skipLiteralOrComment(const QString& sql, qsizetype i)
{
    const QChar c = sql.at(i);
    const qsizetype n = sql.size();
    if (c == u'\'' || c == u'"') {
        qsizetype j = i + 1;
        while (j < n) {
            if (sql.at(j) == c) {
                if (j + 1 < n && sql.at(j + 1) == c) { // doubled quote inside the literal
                    j += 2;
                    continue;
                }
                return j + 1;
            }
            ++j;
        }
        return n;
    }
    if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
        const qsizetype end = sql.indexOf(u'\n', i);
        return end < 0 ? n : end + 1;
    }
    if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
        const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
        return end < 0 ? n : end + 2;
    }
    return i;
}

} // namespace

PositionalSql toPositionalSql(const QString& sql)
{
    PositionalSql result;
    result.sql.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype skipped = skipLiteralOrComment(sql, i);
        if (skipped != i) {
            result.sql += QStringView(sql).mid(i, skipped - i);
            i = skipped;
            continue;
        }
        const QChar c = sql.at(i);
        if (c == u':' && i + 1 < n && isNameStart(sql.at(i + 1))) {
            qsizetype end = i + 2;
            while (end < n && isNameChar(sql.at(end)))
                ++end;
            const QString name = sql.mid(i + 1, end - i - 1).toUpper();
            result.namesByPosition.append(name);
            if (!result.distinctNames.contains(name))
                result.distinctNames.append(name);
            result.sql += u'?';
            i = end;
            continue;
        }
        result.sql += c;
        ++i;
    }
    return result;
}
