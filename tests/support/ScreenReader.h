#pragma once

#include <QAccessible>
#include <QStringList>

// Every focusable control that a screen reader reaches under the interface, without a name.
inline QStringList unnamedControls(QAccessibleInterface* interface)
{
    QStringList unnamed;
    for (int i = 0; i < interface->childCount(); ++i) {
        QAccessibleInterface* child = interface->child(i);
        if (!child)
            continue;
        const QAccessible::State state = child->state();
        if (state.focusable && !state.invisible && child->text(QAccessible::Name).isEmpty())
            unnamed << child->object()->objectName();
        unnamed << unnamedControls(child);
    }
    return unnamed;
}
