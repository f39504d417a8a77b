#pragma once

#include "contacts/ContactCheck.h"

#include <QByteArray>

#include <vector>

// Every card of a vCard file, versions 2.1, 3.0 and 4.0: folded lines, quoted-printable,
// charsets, escaped commas and semicolons, grouped properties. A card without a name comes
// back refused. Throws Error for a file that holds no card or ends inside one.
std::vector<ImportedContact> readVCards(const QByteArray& bytes);

// The contacts as vCard 3.0 in UTF-8, lines folded at 75 octets.
QByteArray writeVCards(const std::vector<Contact>& contacts);
