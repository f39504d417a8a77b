#include "TarvoAgenda.h"

#include "U_Agenda.h"
#include "U_DM.h"
#include "U_Mensagens.h"
#include "db/FbClient.h"
#include "platform/AppFolder.h"
#include "platform/Error.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QMessageBox>

#include <memory>

int TarvoAgendaRun()
{
    QApplication::setApplicationName(kApplicationTitle);
    // The desktop entry tells the desktop which windows are this program's, and their icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvo-agenda"));
    // The main window hides instead of closing; only "Fechar" ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // One running program per installation: each application folder has its own database.
    const QByteArray folder =
        QCryptographicHash::hash(applicationFolder().toUtf8(), QCryptographicHash::Sha1).toHex();
    SingleInstance instance(QStringLiteral("tarvo-agenda-") + QString::fromLatin1(folder.left(12)));
    if (instance.askRunningToComeForward())
        return 0;
    instance.listen();

    try {
        FbClient::instance();
    } catch (const Error& error) {
        QMessageBox::critical(nullptr, kApplicationTitle, error.message());
        return 1;
    }

    auto dataModule = std::make_unique<TDM>();
    DM = dataModule.get();
    if (!DM->DataModuleCreate()) {
        MsgFalhaConexao();
        DM = nullptr;
        return 1;
    }

    // Installed once the database library has set up its own handlers, which it replaces.
    TerminationSignals sessionEnd;
    QObject::connect(&sessionEnd, &TerminationSignals::terminationRequested,
                     [] { QCoreApplication::exit(0); });

    // The main window; the windows opened over it go first at the end, then it, then the data.
    std::unique_ptr<TFrmAgenda> mainWindow(CreateForm<TFrmAgenda>());
    QObject::connect(&instance, &SingleInstance::comeForwardRequested, mainWindow->Maximizar1,
                     &QAction::trigger);
    mainWindow->show();
    const int status = QApplication::exec();
    Application::destroyAdoptedWindows();
    mainWindow.reset();

    dataModule.reset();
    DM = nullptr;
    return status;
}
