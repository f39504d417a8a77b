#include "support/TempDatabase.h"

#include "db/DatabaseCreator.h"
#include "db/DbError.h"

TempDatabase::TempDatabase()
{
    const QString path = dir_.filePath(QStringLiteral("TEST.FDB"));
    try {
        createAgendaDatabase(path);
        path_ = path;
    } catch (const DbError& e) {
        error_ = e.message();
    }
}
