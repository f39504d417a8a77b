#include "widgets/Application.h"

#include "platform/Error.h"

#include <QMessageBox>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

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

void Application::showError(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, applicationName(), message, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
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
