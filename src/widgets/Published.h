#pragma once

#include <QObject>
#include <QString>

// What the translation engine walks into: a property whose value is a list of texts
// ("Items(2)") or a collection of objects ("Columns<1>.Title.Caption").

class StringList : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    virtual int count() const = 0;
    virtual QString item(int index) const = 0;
    virtual void setItem(int index, const QString& text) = 0;
};

class Collection : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    virtual int count() const = 0;
    // Null for an index outside the collection.
    virtual QObject* item(int index) const = 0;
};
