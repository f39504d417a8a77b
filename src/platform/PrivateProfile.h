#pragma once

#include <QString>

// Reads one value of an INI file with the platform's private-profile rules: section and key
// names match without regard to case, blanks around the value are dropped, a value enclosed
// in a pair of quotes loses them, and at most 2047 characters are kept. A missing file,
// section or key gives defaultValue. The file is Windows-1252 text, or UTF-8 text when it is
// valid UTF-8: a set-up script or a text editor may have written it either way.
QString readPrivateProfileString(const QString& fileName, const QString& section,
                                 const QString& key, const QString& defaultValue = {});
