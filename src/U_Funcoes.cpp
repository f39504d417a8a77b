#include "U_Funcoes.h"

#include "widgets/Application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

QPoint CenteredPosition(const QRect& area, const QSize& size)
{
    return area.topLeft() + QPoint(std::max(0, (area.width() - size.width()) / 2),
                                   std::max(0, (area.height() - size.height()) / 2));
}

void ShowFormModal(TFrmBase* form)
{
    QPointer<TFrmBase> window(form);
    Application::adopt(form);
    QWidget* active = QApplication::activeWindow();
    form->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    form->setWindowModality(Qt::ApplicationModal);

    QEventLoop wait;
    QObject::connect(form, &TFrmBase::closed, &wait, &QEventLoop::quit);
    QObject::connect(form, &QObject::destroyed, &wait, &QEventLoop::quit);
    form->show();

    const QSize size = form->frameGeometry().size();
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        form->move(CenteredPosition(primary->geometry(), size));
    if (active && active->screen() && active->screen() != QGuiApplication::primaryScreen())
        form->move(CenteredPosition(active->screen()->geometry(), size));

    if (window && window->isVisible())
        wait.exec();
    if (window)
        window->deleteLater();
}
