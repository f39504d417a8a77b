#include "U_Mensagens.h"

#include "U_DM.h"
#include "platform/ResourceStrings.h"
#include "widgets/Application.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <array>

const QString kApplicationTitle = QStringLiteral("Tarvo Agenda");

namespace {

struct Row
{
    std::array<const char16_t*, 3> captions; // Spanish, English, Portuguese
    std::array<const char16_t*, 3> texts;
};

const Row& rowOf(Mensagem mensagem)
{
    static const Row confirmation{{u"Confirmación", u"Confirmation", u"Confirmação"}, {}};
    static const Row save{confirmation.captions,
                          {u"¿Desea guardar los cambios?", u"Want to save changes?",
                           u"Deseja salvar as alterações?"}};
    static const Row remove{
        confirmation.captions,
        {u"Seguro que quiere borrar?", u"Really delete?", u"Confirma a Exclusão?"}};
    static const Row noBirthdays{{u"", u"", u""},
                                 {u"No hay cumpleaños en este período",
                                  u"No birthdays in this period",
                                  u"Não há aniversariantes neste período"}};
    static const Row noContact{
        {u"", u"", u""},
        {u"No hay contacto registrado", u"No contact registered", u"Nenhum contato cadastrado"}};
    static const Row connection{{u"", u"", u""},
                                {u"Não foi possível conectar com a Base de dados",
                                 u"Não foi possível conectar com a Base de dados",
                                 u"Não foi possível conectar com a Base de dados"}};
    switch (mensagem) {
    case Mensagem::MsgSalvarAlteracoes:
        return save;
    case Mensagem::MsgConfirmaExclusao:
        return remove;
    case Mensagem::MsgSemAniversariantes:
        return noBirthdays;
    case Mensagem::MsgSemContato:
        return noContact;
    case Mensagem::MsgFalhaConexao:
        break;
    }
    return connection;
}

int currentLanguageIndex()
{
    return DM ? DM->languageIndex() : 0;
}

bool isBuiltInLanguage(int index)
{
    return index >= 0 && index <= 2;
}

// The system message box: modal for the whole application, question icon, its buttons in the
// language of its text. It belongs to the window that holds the input, so it stays on top.
QMessageBox::StandardButton ask(Mensagem mensagem, int index, QMessageBox::StandardButtons buttons)
{
    UsarIdiomaDoToolkit(index);
    QMessageBox box(QMessageBox::Question, TituloMensagem(mensagem, index),
                    TextoMensagem(mensagem, index), buttons, Application::dialogParent());
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::No);
    const TrayAnswersDuring tray(&box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void UsarIdiomaDoToolkit(int languageIndex)
{
    static const char* const languages[] = {"es", "en", "pt_BR"};
    if (isBuiltInLanguage(languageIndex))
        Application::useToolkitLanguage(QString::fromLatin1(languages[languageIndex]));
}

QString TextoMensagem(Mensagem mensagem, int languageIndex)
{
    if (mensagem == Mensagem::MsgFalhaConexao)
        languageIndex = 2;
    if (!isBuiltInLanguage(languageIndex))
        return {};
    return QString::fromUtf16(rowOf(mensagem).texts[static_cast<std::size_t>(languageIndex)]);
}

QString TituloMensagem(Mensagem mensagem, int languageIndex)
{
    if (!isBuiltInLanguage(languageIndex))
        return {};
    return QString::fromUtf16(rowOf(mensagem).captions[static_cast<std::size_t>(languageIndex)]);
}

RespostaSalvar PerguntarSalvarAlteracoes()
{
    const int index = currentLanguageIndex();
    if (!isBuiltInLanguage(index))
        return RespostaSalvar::NoQuestion;
    switch (ask(Mensagem::MsgSalvarAlteracoes, index,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return RespostaSalvar::Yes;
    case QMessageBox::No:
        return RespostaSalvar::No;
    default:
        return RespostaSalvar::Cancel;
    }
}

bool ConfirmarExclusao()
{
    const int index = currentLanguageIndex();
    if (!isBuiltInLanguage(index))
        return true;
    return ask(Mensagem::MsgConfirmaExclusao, index, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool MostrarMensagem(Mensagem mensagem)
{
    const QString text = TextoMensagem(mensagem, currentLanguageIndex());
    if (text.isEmpty())
        return false;
    MostrarInformacao(text);
    return true;
}

void MostrarInformacao(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::NoButton,
                    Application::dialogParent());
    box.setWindowModality(Qt::ApplicationModal);
    box.addButton(ResourceStrings::load(ResourceStrings::MsgDlgOK), QMessageBox::AcceptRole);
    box.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        box.move(screen->geometry().center() - box.rect().center());
    const TrayAnswersDuring tray(&box);
    box.exec();
}

void MsgFalhaConexao()
{
    MostrarMensagem(Mensagem::MsgFalhaConexao);
}
