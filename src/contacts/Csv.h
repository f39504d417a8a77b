#pragma once

#include "contacts/ContactCheck.h"

#include <QByteArray>

#include <vector>

// The contacts of a CSV file whose first line names its columns: the program's own, or those
// of the common webmail and desktop exports. Comma, semicolon or tab separated; UTF-8 with or
// without a byte-order mark, else Windows-1252. A row without a name comes back refused.
// Throws Error when no column is known or a quoted value is not closed.
std::vector<ImportedContact> readCsv(const QByteArray& bytes);

// The contacts in UTF-8 (with a byte-order mark, which spreadsheets need to see it), one row
// each under the program's own header: the column names.
QByteArray writeCsv(const std::vector<Contact>& contacts);
