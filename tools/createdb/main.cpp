// tarvo-createdb PATH: creates a new, empty agenda database file at PATH.

#include "db/DatabaseCreator.h"
#include "db/DbError.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: tarvo-createdb PATH\n";
        return 1;
    }
    try {
        createAgendaDatabase(args.at(1));
    } catch (const DbError& error) {
        err << "tarvo-createdb: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
