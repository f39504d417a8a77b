#include "TarvoAgenda.h"

#include "U_DM.h"
#include "U_Mensagens.h"
#include "db/FbClient.h"
#include "platform/Error.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <memory>

int TarvoAgendaRun()
{
    QApplication::setApplicationName(kApplicationTitle);

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

    int status = 0;
    {
        // Stands in for the main window until it exists.
        QWidget mainWindow;
        mainWindow.setWindowTitle(QStringLiteral("Agenda Telefônica"));
        mainWindow.resize(640, 480);
        mainWindow.show();
        status = QApplication::exec();
    }

    dataModule.reset();
    DM = nullptr;
    return status;
}
