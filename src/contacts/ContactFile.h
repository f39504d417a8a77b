#pragma once

#include "contacts/ContactCheck.h"

#include <QString>

#include <vector>

// The contacts of a ".vcf" or ".csv" file, each with the file's name in its origin. Throws
// Error naming the file when it cannot be read, is of neither kind, or is damaged.
std::vector<ImportedContact> readContactFile(const QString& path);

// Whether the file is of a kind readContactFile takes, by its name.
bool isContactFile(const QString& path);
