#include "U_Mensagens.h"

#include "platform/ResourceStrings.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

const QString kApplicationTitle = QStringLiteral("Tarvo Agenda");

void MostrarInformacao(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text);
    box.addButton(ResourceStrings::load(ResourceStrings::MsgDlgOK), QMessageBox::AcceptRole);
    box.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        box.move(screen->geometry().center() - box.rect().center());
    box.exec();
}

void MsgFalhaConexao()
{
    MostrarInformacao(QStringLiteral("Não foi possível conectar com a Base de dados"));
}
