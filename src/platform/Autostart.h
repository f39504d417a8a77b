#pragma once

#include <QString>

// Starting the program with the desktop session: an XDG autostart entry in the user's
// configuration folder ($XDG_CONFIG_HOME, else ~/.config), one file per entry in its folder
// "autostart".
namespace Autostart {

// Writes the entry "name" starting executablePath. Throws Error "Failed to create key Run"
// when the configuration folder is missing or its autostart folder cannot be made, and
// "Failed to set data for 'name'" when the entry cannot be written.
void writeEntry(const QString& name, const QString& executablePath,
                const QString& iconName = QString());

// Removes the entry; nothing happens, and nothing is reported, when it cannot be.
void removeEntry(const QString& name);

// The entry's file: "Tarvo Agenda" is autostart/tarvo-agenda.desktop.
QString entryFileName(const QString& name);

} // namespace Autostart
