#pragma once

#include <QString>

// The application folder: where the program finds every file that lives beside it (start-up
// file, language file, skins, templates, sound). The folder of the running executable,
// unless a test has put another in its place.
QString applicationFolder();
void setApplicationFolder(const QString& folder);

// The path of relative inside folder, each part matched without regard to case when the
// name as written does not exist (the program writes "Skins" and "skins" alike). Parts not
// found are kept as written.
QString resolvePathIgnoringCase(const QString& folder, const QString& relative);
