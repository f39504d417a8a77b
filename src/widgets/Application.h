#pragma once

#include <QApplication>
#include <QPointer>

// The application object. Every exception that escapes an event handler (a key, a click, a
// timer, a show) ends up here and is shown in one message box with its own text; the event
// loop goes on.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int& argc, char** argv);
    // Destroys the windows it still owns, the most recently created first.
    ~Application() override;

    // Gives a top-level window to the application, which destroys it at the end if it still
    // exists then.
    static void adopt(QWidget* window);
    // Destroys the windows it owns now, the most recently created first.
    static void destroyAdoptedWindows();
    // The windows it owns now, in the order they were created.
    static QList<QWidget*> adoptedWindows();

    bool notify(QObject* receiver, QEvent* event) override;

    // The window a message box belongs to: the modal window that holds the input, else the
    // active window, so no window manager stacks the box beneath it.
    static QWidget* dialogParent();
    // Qt's own texts (the buttons of message boxes, among others) in a language such as
    // "pt_BR", "es" or "en", from the toolkit's installed translations.
    static void useToolkitLanguage(const QString& language);

    // The font the windows are laid out for, "MS Sans Serif" 8 point: the Windows font is not
    // on Linux, so a sans-serif font of like metrics stands in for it at its pixel size.
    static QFont designFont();

    // The default error box: the error's text, the application's name as caption.
    static void showError(const QString& message);
    // showError for whatever exception is being handled.
    static void showCurrentException();

private:
    QList<QPointer<QWidget>> adopted_;
};

// While it lives, the icon in the notification area answers clicks although the modal window
// holds the input: the icon of a tray that embeds it is a window of its own, which the modal
// window would otherwise block. Create it just before the modal window is shown.
class TrayAnswersDuring
{
public:
    explicit TrayAnswersDuring(QWidget* modal);
    ~TrayAnswersDuring();
    TrayAnswersDuring(const TrayAnswersDuring&) = delete;
    TrayAnswersDuring& operator=(const TrayAnswersDuring&) = delete;

private:
    struct Dependant
    {
        QPointer<QWindow> tray;
        QPointer<QWindow> before; // an outer modal window's, when one is up
    };
    QList<Dependant> trays_;
};
