#include "TarvoAgenda.h"

#include "widgets/Application.h"

#include <unistd.h>

int main(int argc, char* argv[])
{
    // What the map's web engine needs is settled before the application exists, although the
    // engine itself is loaded only when the map is first shown: it shares the application's
    // graphics contexts, and run as root it cannot use its sandbox.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    Application app(argc, argv);
    return TarvoAgendaRun();
}
