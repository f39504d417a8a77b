#pragma once

#include <QString>

// The application title: the caption of the information boxes.
extern const QString kApplicationTitle;

// An information box: modal, centred on the screen, no icon, the application title as its
// caption and a single OK button. Returns when the user closes it.
void MostrarInformacao(const QString& text);

// The database cannot be reached at start-up; always this Portuguese text.
void MsgFalhaConexao();
