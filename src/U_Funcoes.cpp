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

namespace {

// Ends a modal wait once its window has closed: hidden or gone. It lives as long as the wait.
class CloseWatcher : public QObject
{
public:
    CloseWatcher(QWidget* window, QEventLoop& wait) : wait_(wait)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            wait_.quit();
        return false;
    }

private:
    QEventLoop& wait_;
};

} // namespace

void ShowFormModal(QWidget* form)
{
    QPointer<QWidget> window(form);
    Application::adopt(form);
    QWidget* active = QApplication::activeWindow();
    form->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    form->setWindowModality(Qt::ApplicationModal);

    QEventLoop wait;
    const CloseWatcher watcher(form, wait);
    QObject::connect(form, &QObject::destroyed, &wait, &QEventLoop::quit);
    const TrayAnswersDuring tray(form);
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
