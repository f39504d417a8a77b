#pragma once

// The file kinds the contacts are exported to.
enum class FormatoExportacao
{
    VCard,
    Csv
};

// Asks for a file and writes to it exactly the contacts the main window's grid holds, in its
// order. A list without contacts is told and nothing asked.
void ExportarContatos(FormatoExportacao formato);
