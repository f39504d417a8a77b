#pragma once

#include <QString>

// The built-in messages: fixed questions and notices in Spanish, English and Portuguese,
// never taken from the language file. Each is chosen, when it is shown, by the language index
// of the configuration row (0 Spanish, 1 English, 2 Portuguese).

// The application title: the caption of the information boxes.
extern const QString kApplicationTitle;

enum class Mensagem
{
    MsgSalvarAlteracoes,
    MsgConfirmaExclusao,
    MsgSemAniversariantes,
    MsgSemContato,
    MsgFalhaConexao,
};

// The text of a message for a language index; empty outside 0 to 2 (MsgFalhaConexao excepted,
// which is Portuguese whatever the index).
QString TextoMensagem(Mensagem mensagem, int languageIndex);
// The toolkit's own texts (dialog buttons, the print preview) in the language of the index:
// Spanish, English or Portuguese; another index leaves them as they are.
void UsarIdiomaDoToolkit(int languageIndex);
// The caption of a question; empty for the information boxes and outside 0 to 2.
QString TituloMensagem(Mensagem mensagem, int languageIndex);

// The answer to the save question.
enum class RespostaSalvar
{
    NoQuestion,
    Yes,
    No,
    Cancel
};

// MsgSalvarAlteracoes: Yes, No and Cancel, No the default. NoQuestion when the language index
// is outside 0 to 2 and no box was shown.
RespostaSalvar PerguntarSalvarAlteracoes();
// MsgConfirmaExclusao: true when the delete is to go ahead (Yes, or no question because the
// language index is outside 0 to 2).
bool ConfirmarExclusao();
// An information box for MsgSemAniversariantes, MsgSemContato or MsgFalhaConexao; returns
// false when nothing was shown because the language index is outside 0 to 2.
bool MostrarMensagem(Mensagem mensagem);

// An information box: modal, centred on the screen, no icon, the application title as its
// caption and a single OK button. Returns when the user closes it.
void MostrarInformacao(const QString& text);

// The database cannot be reached at start-up.
void MsgFalhaConexao();
