#include "widgets/Application.h"

#include "platform/Error.h"
#include "widgets/PanelCacheStyle.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTranslator>
#include <QWindow>

namespace {

// The program's windows are plain widgets with the window flag; a screen reader is told they
// are windows.
QAccessibleInterface* windowAccessible(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || widget->windowType() != Qt::Window || qobject_cast<QDialog*>(widget))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    QAccessible::installFactory(windowAccessible);
    // Set for the whole application, the font survives a skin: under a style sheet a window
    // no longer hands its own font down to its controls.
    setFont(designFont());
    // The style the desktop or the command line chose, with some panels drawn from pictures.
    setStyle(new PanelCacheStyle(QStyleFactory::create(style()->name())));
}

Application::~Application()
{
    destroyAdoptedWindows();
}

void Application::destroyAdoptedWindows()
{
    auto* application = qobject_cast<Application*>(qApp);
    if (!application)
        return;
    while (!application->adopted_.isEmpty()) {
        if (QWidget* window = application->adopted_.takeLast())
            delete window;
    }
}

QList<QWidget*> Application::adoptedWindows()
{
    QList<QWidget*> windows;
    if (auto* application = qobject_cast<Application*>(qApp)) {
        for (const QPointer<QWidget>& window : std::as_const(application->adopted_)) {
            if (window)
                windows.append(window);
        }
    }
    return windows;
}

void Application::adopt(QWidget* window)
{
    if (auto* application = qobject_cast<Application*>(qApp))
        application->adopted_.append(window);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException();
        return true;
    }
}

TrayAnswersDuring::TrayAnswersDuring(QWidget* modal)
{
    modal->winId(); // its native window, which the tray's becomes a dependant of
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        // Qt's own window for an embedded tray icon.
        if (!widget->inherits("QSystemTrayIconSys") || !widget->windowHandle())
            continue;
        QWindow* tray = widget->windowHandle();
        trays_.append(Dependant{tray, tray->transientParent()});
        tray->setTransientParent(modal->windowHandle());
    }
}

TrayAnswersDuring::~TrayAnswersDuring()
{
    for (const Dependant& dependant : std::as_const(trays_)) {
        if (dependant.tray)
            dependant.tray->setTransientParent(dependant.before);
    }
}

QFont Application::designFont()
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("MS Sans Serif"));
    // 8 points on the 96 dots per inch the windows were drawn at, a little tighter to match the
    // design font's narrower letters.
    font.setPixelSize(11);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.3);
    return font;
}

QWidget* Application::dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void Application::useToolkitLanguage(const QString& language)
{
    static QTranslator* translator = nullptr;
    static QString current;
    if (language == current)
        return;
    current = language;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    auto* loaded = new QTranslator(qApp);
    if (loaded->load(QStringLiteral("qtbase_") + language,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(loaded);
        translator = loaded;
    } else {
        delete loaded;
    }
}

void Application::showError(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, applicationName(), message, QMessageBox::Ok,
                    dialogParent());
    box.setWindowModality(Qt::ApplicationModal);
    const TrayAnswersDuring tray(&box);
    box.exec();
}

void Application::showCurrentException()
{
    try {
        throw;
    } catch (const Error& error) {
        showError(error.message());
    } catch (const std::exception& error) {
        showError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showError(QStringLiteral("Unknown error"));
    }
}
