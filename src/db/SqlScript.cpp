#include "db/SqlScript.h"

#include <QRegularExpression>

namespace {

// Index just past the literal or comment that starts at i, or i when none starts there.
qsizetype skipQuoted(const QString& text, qsizetype i)
{
    const qsizetype n = text.size();
    const QChar c = text.at(i);
    if (c == u'\'' || c == u'"') {
        qsizetype j = i + 1;
        while (j < n && text.at(j) != c)
            ++j;
        return qMin(j + 1, n); // a doubled quote is two literals side by side: same result
    }
    if (text.mid(i, 2) == QLatin1String("--")) {
        const qsizetype end = text.indexOf(u'\n', i);
        return end < 0 ? n : end + 1;
    }
    if (text.mid(i, 2) == QLatin1String("/*")) {
        const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
        return end < 0 ? n : end + 2;
    }
    return i;
}

// The statement from its first word on: blanks and comments before it dropped.
QString withoutLeadingComments(const QString& statement)
{
    qsizetype i = 0;
    while (i < statement.size()) {
        const QChar c = statement.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        const qsizetype next = skipQuoted(statement, i);
        if (next == i || c == u'\'' || c == u'"')
            break;
        i = next;
    }
    return statement.mid(i).trimmed();
}

} // namespace

QStringList splitSqlScript(const QString& script)
{
    static const QRegularExpression setTerm(QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);

    QStringList statements;
    QString terminator = QStringLiteral(";");
    qsizetype start = 0;
    qsizetype i = 0;
    const qsizetype n = script.size();
    while (i <= n) {
        const bool atEnd = i == n;
        if (!atEnd) {
            const qsizetype skipped = skipQuoted(script, i);
            if (skipped != i) {
                i = skipped;
                continue;
            }
        }
        if (atEnd || QStringView(script).mid(i).startsWith(terminator)) {
            const QString statement = withoutLeadingComments(script.mid(start, i - start));
            const qsizetype terminatorSize = atEnd ? 1 : terminator.size();
            const auto match = setTerm.match(statement);
            if (match.hasMatch())
                terminator = match.captured(1);
            else if (!statement.isEmpty())
                statements.append(statement);
            i += terminatorSize;
            start = i;
            continue;
        }
        ++i;
    }
    return statements;
}
