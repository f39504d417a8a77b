#pragma once

#include <QString>

// Creates a new agenda database at path: dialect 1, character set WIN1252, the tables,
// generators, procedure and configuration row of the schema script, the row's language index
// set to languageIndex. Refuses, touching nothing, when path already exists. On any failure
// the half-made file is dropped and DbError carries the database's message.
void createAgendaDatabase(const QString& path, int languageIndex = 2);

class Connection;

// Brings a database made by an earlier version up to date: the index of birthdays and the
// procedure that reads through it. Returns whether anything was changed; DbError when the
// database refuses (another attachment using the table, say).
bool upgradeAgendaDatabase(Connection& connection);
