#include "widgets/WebBrowser.h"

#include "platform/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

using Factory = WebBrowser* (*)(QWidget* parent);

// Beside the program, unless TARVO_MODULE_DIR names another folder (the build tree's, for
// tests).
QString moduleFileName()
{
    const QString folder = qEnvironmentVariableIsSet("TARVO_MODULE_DIR")
                               ? qEnvironmentVariable("TARVO_MODULE_DIR")
                               : QCoreApplication::applicationDirPath();
    return QDir(folder).filePath(QStringLiteral("tarvo-webbrowser"));
}

} // namespace

WebBrowser* WebBrowser::create(QWidget* parent)
{
    static Factory factory = nullptr;
    if (!factory) {
        QLibrary module(moduleFileName());
        factory = reinterpret_cast<Factory>(module.resolve("tarvoCreateWebBrowser"));
        if (!factory)
            throw Error(module.errorString());
    }
    return factory(parent);
}
