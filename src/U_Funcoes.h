#pragma once

#include "U_FormBase.h"

#include <QEventLoop>
#include <QPointer>

class QWidget;

// Shows a window created for this call modally, centred, with the system menu as its only
// title-bar button, and returns once it has closed; the window is then released.
void ShowFormModal(QWidget* form);

// The position that centres a window of size on the area: each coordinate raised to 0 when
// the window is larger than the area.
QPoint CenteredPosition(const QRect& area, const QSize& size);

// Opens a new window of the class modally and returns when it has been closed. Every call
// creates a window of its own.
template <typename Form> void AbrirFormulario()
{
    ShowFormModal(CreateForm<Form>());
}
