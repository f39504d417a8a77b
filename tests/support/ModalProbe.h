#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs what opens a window and tells whether a window of the class came up modal meanwhile;
// it is closed again at once, so that the opener returns.
template <typename Form> bool opensModally(const std::function<void()>& open)
{
    bool modal = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&modal] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* form = qobject_cast<Form*>(widget);
            if (form && form->isVisible()) {
                modal = form->isModal();
                form->close();
            }
        }
    });
    closer.start(20);
    open();
    return modal;
}
