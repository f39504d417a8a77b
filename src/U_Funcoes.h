#pragma once

#include "U_FormBase.h"

#include <QEventLoop>
#include <QPointer>

class QKeyEvent;
class QWidget;

enum class ModalFrame
{
    Dialog, // centred, with the system menu as its only title-bar button
    Own,    // the window's own frame and place
};

// Shows a window created for this call modally and returns once it has closed; the window is
// then released.
void ShowFormModal(QWidget* form, ModalFrame frame = ModalFrame::Dialog);

// The position that centres a window of size on the area: each coordinate raised to 0 when
// the window is larger than the area.
QPoint CenteredPosition(const QRect& area, const QSize& size);

// Esc closes a plain window shown modally, as it closes a dialog. True when the key did.
bool FecharComEsc(QWidget& window, const QKeyEvent* event);

// Turns the usual Portuguese accented letters into plain ones (ã into a, Ç into C, º into o),
// one replacement after another; every other character stays.
QString RemoverAcentos(const QString& text);

// Opens a new window of the class modally and returns when it has been closed. Every call
// creates a window of its own.
template <typename Form> void AbrirFormulario()
{
    ShowFormModal(CreateForm<Form>());
}
