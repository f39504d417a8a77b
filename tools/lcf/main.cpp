// tarvo-lcf: builds language files from translation sources and reads them back, for
// translators and for checking a file by hand. "tarvo-lcf --help" lists the commands.

#include "LcUnit.h"
#include "LcfCompiler.h"
#include "platform/CodePage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int kUsageError = 2;
constexpr int kInvalidFile = 2;

const char kCommands[] =
    "Commands:\n"
    "  compile SOURCE... -o FILE [--machine i386|amd64] [--original-slot]\n"
    "      builds a language file from gettext PO sources, one language each, in header order.\n"
    "      A msgctxt is a resource string identifier (\"1005\") or \"Class/Component/Property\";\n"
    "      an empty or fuzzy msgstr leaves the text untranslated, the flag \"empty\" marks an\n"
    "      empty translation. --original-slot also stores each resource string's msgid.\n"
    "  languages FILE\n"
    "      prints valid or invalid, then POSITION LCID per language (status 2: invalid)\n"
    "  string FILE LCID ID\n"
    "      prints the text of resource string ID (status 1: none, 2: file invalid or LCID\n"
    "      not listed)\n"
    "  class FILE LCID CLASS\n"
    "      prints the entries of the record of CLASS as COMPONENT<tab>PROPERTY<tab>TEXT\n"
    "      (status 1: no such record, 2: file invalid or LCID not listed)\n";

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

class Arguments
{
public:
    Arguments()
        : help_(parser_.addHelpOption()), version_(parser_.addVersionOption()),
          output_(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                  QStringLiteral("compile: the language file to write."), QStringLiteral("FILE")),
          machine_(QStringLiteral("machine"),
                   QStringLiteral("compile: the image's machine, i386 or amd64."),
                   QStringLiteral("MACHINE"), QStringLiteral("i386")),
          originalSlot_(QStringLiteral("original-slot"),
                        QStringLiteral("compile: also store each resource string's msgid."))
    {
        parser_.setApplicationDescription(
            QStringLiteral("Builds language files from translation sources and reads them back."));
        parser_.addOptions({output_, machine_, originalSlot_});
        parser_.addPositionalArgument(QStringLiteral("command"),
                                      QStringLiteral("compile, languages, string or class."));
        parser_.addPositionalArgument(QStringLiteral("arguments"),
                                      QStringLiteral("The command's arguments."),
                                      QStringLiteral("[arguments...]"));
    }

    // False when the arguments are not understood.
    bool parse(const QStringList& arguments) { return parser_.parse(arguments); }
    bool wantsHelp() const { return parser_.isSet(help_); }
    bool wantsVersion() const { return parser_.isSet(version_); }
    QString errorText() const { return parser_.errorText(); }
    QString helpText() const { return parser_.helpText() + u'\n' + QLatin1String(kCommands); }
    QStringList positional() const { return parser_.positionalArguments(); }
    QString output() const { return parser_.value(output_); }
    QString machine() const { return parser_.value(machine_); }
    bool originalSlot() const { return parser_.isSet(originalSlot_); }
    bool compileOptionsGiven() const
    {
        return parser_.isSet(output_) || parser_.isSet(machine_) || parser_.isSet(originalSlot_);
    }

private:
    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption version_;
    QCommandLineOption output_;
    QCommandLineOption machine_;
    QCommandLineOption originalSlot_;
};

int usage(const Arguments& arguments, const QString& problem)
{
    err() << "tarvo-lcf: " << problem << "\n\n" << arguments.helpText();
    return kUsageError;
}

std::optional<quint32> number(const QString& text, quint32 max)
{
    bool ok = false;
    const quint32 value = text.toUInt(&ok, 10);
    if (!ok || value > max)
        return std::nullopt;
    return value;
}

int compile(const Arguments& arguments, const QStringList& sources)
{
    LcfOptions options;
    if (arguments.machine() == QLatin1String("amd64"))
        options.machine = PeMachine::Amd64;
    else if (arguments.machine() != QLatin1String("i386"))
        return usage(arguments, QStringLiteral("unknown machine: ") + arguments.machine());
    options.originalSlot = arguments.originalSlot();
    if (arguments.output().isEmpty())
        return usage(arguments, QStringLiteral("compile needs -o FILE"));
    if (sources.isEmpty())
        return usage(arguments, QStringLiteral("compile needs at least one SOURCE"));

    QList<PoCatalog> catalogs;
    QByteArray image;
    try {
        for (const QString& source : sources)
            catalogs.append(readPoFile(source));
        image = compileLanguageFile(catalogs, options);
    } catch (const CompileError& error) {
        err() << "tarvo-lcf: " << error.what() << "\n";
        return 1;
    }
    const QString output = arguments.output();
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit()) {
        err() << "tarvo-lcf: " << output << ": " << file.errorString() << "\n";
        return 1;
    }
    return 0;
}

int32_t collectLanguage(uint32_t lcid, void* data)
{
    static_cast<QList<quint32>*>(data)->append(lcid);
    return 1;
}

int languages(const QString& fileName)
{
    TLcf lcf;
    QList<quint32> lcids;
    if (lcf.Open(fileName, 0, collectLanguage, &lcids) < 0) {
        out() << "invalid\n";
        return kInvalidFile;
    }
    out() << "valid\n";
    for (qsizetype position = 0; position < lcids.size(); ++position)
        out() << position << ' ' << lcids.at(position) << '\n';
    return 0;
}

// Opens the file with lcid selected; false (with a message) when it cannot be.
bool openSelected(TLcf& lcf, const QString& fileName, quint32 lcid)
{
    const int32_t result = lcf.Open(fileName, lcid);
    if (result < 0)
        err() << "tarvo-lcf: " << fileName << " is not a valid language file\n";
    else if (result == 0)
        err() << "tarvo-lcf: " << fileName << " does not list language " << lcid << "\n";
    return result == 1;
}

int string(const QString& fileName, quint32 lcid, quint32 id)
{
    TLcf lcf;
    if (!openSelected(lcf, fileName, lcid))
        return kInvalidFile;
    const std::optional<QString> text = lcf.FindString(id);
    if (!text)
        return 1;
    out() << *text << '\n';
    return 0;
}

int classRecord(const QString& fileName, quint32 lcid, const QString& className)
{
    TLcf lcf;
    if (!openSelected(lcf, fileName, lcid))
        return kInvalidFile;
    TProps props(lcf, nullptr);
    if (!props.LoadClassRecord(className))
        return 1;
    for (const TProp& prop : props.props) {
        out() << CodePage::fromWin1252(prop.componentName) << '\t'
              << CodePage::fromWin1252(prop.propertyPath);
        if (prop.hasText)
            out() << '\t' << prop.text;
        out() << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVO_VERSION));
    Arguments arguments;
    const bool understood = arguments.parse(app.arguments());
    if (arguments.wantsHelp()) {
        out() << arguments.helpText();
        return 0;
    }
    if (arguments.wantsVersion()) {
        out() << "tarvo-lcf " << QCoreApplication::applicationVersion() << "\n";
        return 0;
    }
    if (!understood)
        return usage(arguments, arguments.errorText());

    QStringList args = arguments.positional();
    if (args.isEmpty())
        return usage(arguments, QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QLatin1String("compile"))
        return compile(arguments, args);
    if (arguments.compileOptionsGiven())
        return usage(arguments, QStringLiteral("those options belong to compile"));
    if (command == QLatin1String("languages") && args.size() == 1)
        return languages(args.at(0));
    if ((command == QLatin1String("string") || command == QLatin1String("class")) &&
        args.size() == 3) {
        const std::optional<quint32> lcid = number(args.at(1), UINT32_MAX);
        if (!lcid)
            return usage(arguments, QStringLiteral("not a language identifier: ") + args.at(1));
        if (command == QLatin1String("class"))
            return classRecord(args.at(0), *lcid, args.at(2));
        const std::optional<quint32> id = number(args.at(2), 65535);
        return id ? string(args.at(0), *lcid, *id)
                  : usage(arguments,
                          QStringLiteral("not a resource string identifier: ") + args.at(2));
    }
    return usage(arguments,
                 QStringLiteral("unknown command or wrong number of arguments: ") + command);
}
