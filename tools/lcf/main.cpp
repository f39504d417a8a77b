// tarvo-lcf: builds language files from translation sources and reads them back, for
// translators and for checking a file by hand. Run without arguments for the commands.

#include "LcUnit.h"
#include "LcfCompiler.h"
#include "platform/CodePage.h"

#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int kUsageError = 64;
constexpr int kInvalidFile = 2;

const char kUsage[] =
    "usage:\n"
    "  tarvo-lcf compile SOURCE... -o FILE [--machine i386|amd64] [--original-slot]\n"
    "      builds a language file from gettext PO sources, one language each, in header order.\n"
    "      A msgctxt is a resource string identifier (\"1005\") or \"Class/Component/Property\";\n"
    "      an empty or fuzzy msgstr leaves the text untranslated, the flag \"empty\" marks an\n"
    "      empty translation. --original-slot also stores each resource string's msgid.\n"
    "  tarvo-lcf languages FILE\n"
    "      prints valid or invalid, then POSITION LCID per language (status 2: invalid)\n"
    "  tarvo-lcf string FILE LCID ID\n"
    "      prints the text of resource string ID (status 1: none, 2: file invalid or LCID\n"
    "      not listed)\n"
    "  tarvo-lcf class FILE LCID CLASS\n"
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

int usage()
{
    err() << kUsage;
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

int compile(QStringList args)
{
    LcfOptions options;
    QString output;
    QList<PoCatalog> catalogs;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("-o") && !args.isEmpty()) {
            output = args.takeFirst();
        } else if (arg == QLatin1String("--machine") && !args.isEmpty()) {
            const QString machine = args.takeFirst();
            if (machine == QLatin1String("i386"))
                options.machine = PeMachine::I386;
            else if (machine == QLatin1String("amd64"))
                options.machine = PeMachine::Amd64;
            else
                return usage();
        } else if (arg == QLatin1String("--original-slot")) {
            options.originalSlot = true;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return usage();
        } else {
            try {
                catalogs.append(readPoFile(arg));
            } catch (const CompileError& error) {
                err() << "tarvo-lcf: " << error.what() << "\n";
                return 1;
            }
        }
    }
    if (output.isEmpty() || catalogs.isEmpty())
        return usage();

    QByteArray image;
    try {
        image = compileLanguageFile(catalogs, options);
    } catch (const CompileError& error) {
        err() << "tarvo-lcf: " << error.what() << "\n";
        return 1;
    }
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
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();

    if (command == QLatin1String("compile"))
        return compile(args);
    if (command == QLatin1String("languages") && args.size() == 1)
        return languages(args.at(0));
    if ((command == QLatin1String("string") || command == QLatin1String("class")) &&
        args.size() == 3) {
        const std::optional<quint32> lcid = number(args.at(1), UINT32_MAX);
        if (!lcid)
            return usage();
        if (command == QLatin1String("class"))
            return classRecord(args.at(0), *lcid, args.at(2));
        const std::optional<quint32> id = number(args.at(2), 65535);
        return id ? string(args.at(0), *lcid, *id) : usage();
    }
    return usage();
}
