// tarvo-backup: the agenda's verified copies from the command line (make, list, verify,
// restore), for people who script their machines.

#include "db/BackupFolder.h"
#include "db/DbError.h"
#include "platform/AppFolder.h"
#include "platform/PrivateProfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

namespace {

const char* const kDescription =
    "The agenda's verified copies, kept in the folder \"copias\" beside the database.\n"
    "\n"
    "  make [DATABASE]                  makes and verifies a copy now, then removes the\n"
    "                                   copies beyond the last 7 days and the last 4 weeks\n"
    "  list [DATABASE]                  lists the copies, newest first: date, size,\n"
    "                                   contacts and reminders\n"
    "  verify COPY                      restores COPY into a temporary file and counts\n"
    "                                   what it holds\n"
    "  restore COPY [DATABASE] [--yes]  keeps the database as one more copy, then replaces\n"
    "                                   it with COPY; asks first unless --yes\n"
    "\n"
    "DATABASE defaults to the one BaseAgenda.ini beside the program names. The program must\n"
    "not be using the database. Exit status 0 on success, 1 on failure with the reason.";

class Command
{
public:
    Command(const QStringList& arguments, bool yes) : arguments_(arguments), yes_(yes) {}

    void run();

private:
    QString databaseArgument(int index) const;
    QString argument(int index) const;
    void expectArguments(int least, int most) const;
    void make();
    void list();
    void verify();
    void restore();
    bool confirmed(const QString& question);

    QStringList arguments_;
    bool yes_;
    QTextStream out_{stdout};
};

QString sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes);
}

void Command::run()
{
    const QString verb = argument(0);
    if (verb == QLatin1String("make"))
        make();
    else if (verb == QLatin1String("list"))
        list();
    else if (verb == QLatin1String("verify"))
        verify();
    else if (verb == QLatin1String("restore"))
        restore();
    else
        throw Error(QStringLiteral("unknown command \"%1\"; see --help").arg(verb));
}

QString Command::argument(int index) const
{
    if (index >= arguments_.size())
        throw Error(QStringLiteral("too few arguments; see --help"));
    return arguments_.at(index);
}

void Command::expectArguments(int least, int most) const
{
    if (arguments_.size() < least)
        throw Error(QStringLiteral("too few arguments; see --help"));
    if (arguments_.size() > most)
        throw Error(QStringLiteral("too many arguments; see --help"));
}

QString Command::databaseArgument(int index) const
{
    if (index < arguments_.size())
        return arguments_.at(index);
    const QString startupFile = applicationFolder() + QStringLiteral("/BaseAgenda.ini");
    const QString database =
        readPrivateProfileString(startupFile, QStringLiteral("BANCO"), QStringLiteral("CAMINHO"));
    if (database.isEmpty())
        throw Error(QStringLiteral("no DATABASE given and %1 names none").arg(startupFile));
    return database;
}

QString localDatabase(const QString& database)
{
    if (isServerPath(database))
        throw Error(
            QStringLiteral("%1 is on a server: its copies are the server's job").arg(database));
    return database;
}

void Command::make()
{
    expectArguments(1, 2);
    BackupFolder folder(localDatabase(databaseArgument(1)));
    const BackupCopy copy = folder.makeCopy(QDateTime::currentDateTime());
    out_ << copy.path << ": " << copy.contents.contacts << " contacts, " << copy.contents.reminders
         << " reminders\n";
    for (const BackupCopy& removed : folder.prune())
        out_ << "removed " << removed.path << "\n";
}

void Command::list()
{
    expectArguments(1, 2);
    const BackupFolder folder(localDatabase(databaseArgument(1)));
    for (const BackupCopy& copy : folder.copies()) {
        out_ << copy.madeAt.toString(Qt::ISODate) << "  " << sizeText(copy.size) << "  "
             << copy.contents.contacts << " contacts  " << copy.contents.reminders << " reminders  "
             << copy.path << "\n";
    }
}

void Command::verify()
{
    expectArguments(2, 2);
    const AgendaContents contents = verifyCopy(argument(1));
    out_ << argument(1) << ": " << contents.contacts << " contacts, " << contents.reminders
         << " reminders\n";
}

bool Command::confirmed(const QString& question)
{
    if (yes_)
        return true;
    out_ << question << " [y/N] " << Qt::flush;
    const QString answer = QTextStream(stdin).readLine().trimmed();
    return answer.compare(QLatin1String("y"), Qt::CaseInsensitive) == 0 ||
           answer.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
}

void Command::restore()
{
    expectArguments(2, 3);
    const QString copyFile = argument(1);
    const QString database = localDatabase(databaseArgument(2));
    if (!QFileInfo::exists(copyFile))
        throw Error(QStringLiteral("%1 does not exist").arg(copyFile));
    if (!confirmed(QStringLiteral("Replace %1 with %2?").arg(database, copyFile)))
        throw Error(QStringLiteral("not confirmed; nothing was changed"));
    BackupFolder folder(database);
    if (QFileInfo::exists(database)) {
        const BackupCopy kept = folder.makeCopy(QDateTime::currentDateTime(), true);
        out_ << "kept the database as " << kept.path << "\n";
    }
    PendingRestore restored(copyFile, database);
    restored.install();
    out_ << "restored " << copyFile << " into " << database << "\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVO_VERSION));
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Restore without asking for confirmation."));
    parser.addOption(yes);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("make, list, verify or restore"));
    // --help and --version print and exit 0; an unknown option exits 1 with the reason.
    parser.process(app);
    try {
        Command(parser.positionalArguments(), parser.isSet(yes)).run();
    } catch (const Error& error) {
        err << "tarvo-backup: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
