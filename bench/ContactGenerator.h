#pragma once

#include <QString>

// Creates the database at path and fills it with count realistic contacts: Brazilian names
// over 43 cities, addresses, phones, e-mails, 85% with a birth date and 20% with a note. The
// same count always gives the same contacts. The file appears only once it is complete.
void generateContacts(const QString& path, int count);
