#include "U_Funcoes.h"

#include "widgets/Application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

bool FecharComEsc(QWidget& window, const QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return false;
    window.close();
    return true;
}

QString RemoverAcentos(const QString& text)
{
    static constexpr struct
    {
        char16_t accented;
        char16_t plain;
    } replacements[] = {
        {u'à', u'a'}, {u'â', u'a'}, {u'á', u'a'}, {u'ã', u'a'}, {u'Ã', u'A'}, {u'Á', u'A'},
        {u'Â', u'A'}, {u'À', u'A'}, {u'é', u'e'}, {u'ê', u'e'}, {u'Ê', u'E'}, {u'É', u'E'},
        {u'í', u'i'}, {u'Í', u'I'}, {u'õ', u'o'}, {u'ô', u'o'}, {u'ó', u'o'}, {u'Õ', u'O'},
        {u'Ó', u'O'}, {u'Ô', u'O'}, {u'ú', u'u'}, {u'ü', u'u'}, {u'Ú', u'U'}, {u'Ü', u'U'},
        {u'ç', u'c'}, {u'Ç', u'C'}, {u'º', u'o'}, {u'ª', u'a'},
    };
    QString folded = text;
    for (const auto& replacement : replacements)
        folded.replace(QChar(replacement.accented), QChar(replacement.plain));
    return folded;
}

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

void ShowFormModal(QWidget* form, ModalFrame frame)
{
    QPointer<QWidget> window(form);
    Application::adopt(form);
    QWidget* active = QApplication::activeWindow();
    if (frame == ModalFrame::Dialog)
        form->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    form->setWindowModality(Qt::ApplicationModal);

    QEventLoop wait;
    const CloseWatcher watcher(form, wait);
    QObject::connect(form, &QObject::destroyed, &wait, &QEventLoop::quit);
    const TrayAnswersDuring tray(form);
    form->show();

    if (frame == ModalFrame::Dialog) {
        const QSize size = form->frameGeometry().size();
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            form->move(CenteredPosition(primary->geometry(), size));
        if (active && active->screen() && active->screen() != QGuiApplication::primaryScreen())
            form->move(CenteredPosition(active->screen()->geometry(), size));
    }

    if (window && window->isVisible())
        wait.exec();
    if (window)
        window->deleteLater();
}
