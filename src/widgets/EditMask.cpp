#include "widgets/EditMask.h"

#include <QStringList>

namespace {

bool isDigitPlace(QChar c)
{
    return c == u'9' || c == u'0';
}

} // namespace

EditMask EditMask::parse(const QString& mask)
{
    EditMask result;
    if (mask.isEmpty())
        return result;
    const QStringList parts = mask.split(u';');
    result.pattern = parts.value(0);
    if (result.pattern.startsWith(u'!'))
        result.pattern.remove(0, 1);
    result.storeLiterals = parts.size() < 2 || parts.at(1) != QLatin1String("0");
    if (parts.size() >= 3 && !parts.at(2).isEmpty())
        result.blank = parts.at(2).front();
    return result;
}

QString EditMask::toInputMask() const
{
    if (pattern.isEmpty())
        return {};
    QString qtMask;
    for (const QChar c : pattern) {
        if (c == u'9')
            qtMask += u'0';
        else if (c == u'0')
            qtMask += u'9';
        else if (c.isLetterOrNumber() || QStringLiteral("><![]{}\\#").contains(c))
            qtMask += u'\\' + QString(c);
        else
            qtMask += c;
    }
    return qtMask + u';' + blank;
}

QString EditMask::valueOf(const QString& text) const
{
    QString typed;
    QString stored;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool literal = i < pattern.size() && !isDigitPlace(pattern.at(i));
        if (!literal && c != blank && !c.isSpace())
            typed += c;
        if (literal ? storeLiterals : (c != blank))
            stored += literal ? c : (c.isSpace() ? QChar() : c);
    }
    if (typed.isEmpty())
        return {};
    stored.remove(QChar());
    return stored;
}
