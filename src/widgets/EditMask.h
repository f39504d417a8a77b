#pragma once

#include <QString>

// The program's edit masks: "pattern;1;_" where in the pattern 9 is an optional digit, 0 a
// required digit and every other character a literal shown in the input (a leading "!" keeps
// optional positions at the left); "1" stores the literals with the value and "_" is shown in
// positions not yet typed.
struct EditMask
{
    QString pattern;
    bool storeLiterals = true;
    QChar blank = u'_';

    static EditMask parse(const QString& mask);

    bool isEmpty() const { return pattern.isEmpty(); }
    // The same mask in QLineEdit's own notation, where 9 and 0 mean the other way round.
    QString toInputMask() const;
    // The value to store for what the edit holds: NULL (an empty string) when nothing was
    // typed, without the literals unless they are stored.
    QString valueOf(const QString& text) const;
};
