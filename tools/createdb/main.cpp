// tarvo-createdb PATH: creates a new, empty agenda database file at PATH.

#include "db/DatabaseCreator.h"
#include "db/DbError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

namespace {

constexpr int kUsageError = 2;

// The language index the program reads (0 Spanish, 1 English, 2 Portuguese): the desktop's
// language when it is one of the first two, else the program's own.
int desktopLanguageIndex()
{
    switch (QLocale::system().language()) {
    case QLocale::Spanish:
        return 0;
    case QLocale::English:
        return 1;
    default:
        return 2;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVO_VERSION));
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Creates a new, empty agenda database at PATH; an existing file is left "
                       "as it is. The program starts in the desktop's language."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("The database file to create."));
    if (!parser.parse(app.arguments()) && !parser.isSet(help) && !parser.isSet(version)) {
        err << "tarvo-createdb: " << parser.errorText() << "\n\n" << parser.helpText();
        return kUsageError;
    }
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << "tarvo-createdb " << QCoreApplication::applicationVersion() << "\n";
        return 0;
    }
    if (parser.positionalArguments().size() != 1) {
        err << "tarvo-createdb: one PATH is needed\n\n" << parser.helpText();
        return kUsageError;
    }
    try {
        createAgendaDatabase(parser.positionalArguments().first(), desktopLanguageIndex());
    } catch (const DbError& error) {
        err << "tarvo-createdb: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
