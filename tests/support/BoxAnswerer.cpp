#include "BoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

BoxAnswerer::BoxAnswerer(QMessageBox::StandardButton answer) : answer_(answer)
{
    connect(&timer_, &QTimer::timeout, this, &BoxAnswerer::answerActiveBox);
    timer_.start(10);
}

void BoxAnswerer::answerActiveBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    Box seen;
    seen.caption = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = box->standardButtons();
    if (box->defaultButton())
        seen.defaultButton = box->standardButton(box->defaultButton());
    for (QAbstractButton* button : box->buttons())
        seen.buttonTexts << button->text();
    if (box->parentWidget())
        seen.parentName = box->parentWidget()->objectName();
    boxes_.append(seen);

    QAbstractButton* button = box->button(answer_);
    if (!button)
        button = box->buttons().value(0);
    if (button)
        button->click();
}
