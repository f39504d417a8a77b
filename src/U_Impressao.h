#pragma once

#include <QString>

class QWidget;
namespace report {
class Report;
}

// The list templates, one per language: the contact list and the birthday list.
enum class Relacao
{
    Agenda,
    Aniversariantes,
};

// The list template for the language index, relative to the program's folder: "-es", "-en" or
// "-pt" for 0, 1 and 2; an index no built-in language has prints the program's own,
// Portuguese.
QString ModeloRelacao(Relacao relacao, int languageIndex);

// Prints with the template, relative to the program's folder whatever the working folder:
// set as the report's template, loaded, and printed through the print preview over the parent.
void ImprimirRelatorio(report::Report& report, const QString& modelo, QWidget* parent);
