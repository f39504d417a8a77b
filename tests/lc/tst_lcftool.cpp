#include "LcUnit.h"
#include "LcfFixture.h"
#include "platform/ResourceStrings.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace LcfFixture;

namespace {

const QString kTool = QStringLiteral(TARVO_APP_DIR "/tarvo-lcf");
const QString kInstalled = QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf");

struct Run
{
    int status = -1;
    QByteArray out;
};

Run run(const QStringList& args)
{
    QProcess process;
    process.start(kTool, args);
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput()};
}

const char kMessages[] = R"po(
msgctxt "1005"
msgid "OK"
msgstr "Sim"

msgctxt "TFrmX/BOk/Caption"
msgid "OK"
msgstr ""
)po";

const char kEnglish[] = R"po(
msgctxt "1005"
msgid "OK"
msgstr "OK"

msgctxt "TFrmX/BOk/Caption"
msgid "OK"
msgstr "OK"
)po";

} // namespace

Q_DECLARE_METATYPE(std::optional<int>)

class TestLcfTool : public QObject
{
    Q_OBJECT

private slots:
    void recordLayout_data();
    void recordLayout();
    void compileErrors_data();
    void compileErrors();
    void commands_data();
    void commands();
    void installedFile();

private:
    Files files_;
};

void TestLcfTool::recordLayout_data()
{
    QTest::addColumn<bool>("leadingSlot");
    QTest::addColumn<std::optional<int>>("codePage");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QByteArray>("hex");

    QTest::addRow("format 1 header") << false << std::optional<int>() << "LCHEADER"
                                     << QByteArray("4c434845414445520000000002000000"
                                                   "1604000009040000");
    QTest::addRow("format 2 header") << false << std::optional(1252) << "LCHEADE2"
                                     << QByteArray("4c434845414445520000000002000000"
                                                   "1604000009040000"
                                                   "e404000000000000");
    QTest::addRow("header with the leading slot") << true << std::optional<int>() << "LCHEADER"
                                                  << QByteArray("4c434845414445520100000002000000"
                                                                "1604000009040000");
    QTest::addRow("string record") << false << std::optional<int>() << "1005"
                                   << QByteArray("1000000006000000"
                                                 "1600000004000000"
                                                 "530069006d00"
                                                 "4f004b00");
    QTest::addRow("string record with the leading slot") << true << std::optional<int>() << "1005"
                                                         << QByteArray("1800000004000000"
                                                                       "1c00000006000000"
                                                                       "2200000004000000"
                                                                       "4f004b00"
                                                                       "530069006d00"
                                                                       "4f004b00");
    // The entry's key, no Portuguese text, the English text; the class record is the same
    // with the leading slot.
    for (bool leading : {false, true})
        QTest::addRow("class record, leading slot %d", leading)
            << leading << std::optional<int>() << "TFRMX"
            << QByteArray("05000000"
                          "5446726d58"
                          "01000000"
                          "0800000000000000"
                          "180000000b000000"
                          "00000000ffffffff"
                          "2300000004000000"
                          "424f6b2d43617074696f6e"
                          "4f004b00");
}

// Every record byte for byte, from sources in Portuguese (Brazil) and English (US).
void TestLcfTool::recordLayout()
{
    QFETCH(bool, leadingSlot);
    QFETCH(std::optional<int>, codePage);
    QFETCH(QString, record);
    QFETCH(QByteArray, hex);

    const QByteArray file = compiled({po("pt_BR", kMessages, codePage), po("en_US", kEnglish)},
                                     {PeMachine::I386, leadingSlot});
    const std::optional<PeImage> image = PeImage::fromBytes(file);
    QVERIFY(image);
    const std::optional<QByteArrayView> bytes = image->rcData(record);
    QVERIFY(bytes);
    QCOMPARE(bytes->toByteArray().toHex(), hex);
}

void TestLcfTool::compileErrors_data()
{
    QTest::addColumn<QList<QByteArray>>("sources");
    QTest::addColumn<QString>("error");

    const auto one = [](const char* messages) { return QList<QByteArray>{po("pt_BR", messages)}; };
    // The header and a blank line take the first four lines of a source.
    QTest::addRow("no header") << QList<QByteArray>{"msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"b\"\n"}
                               << "source0.po: the header names no Language";
    QTest::addRow("unknown language")
        << QList<QByteArray>{po("zz", "")} << "language \"zz\" has no Windows language identifier";
    QTest::addRow("language twice") << QList<QByteArray>{po("pt_BR", ""), po("pt-BR", "")}
                                    << "source1.po: language 1046 is given twice";
    QTest::addRow("other charset")
        << QList<QByteArray>{po("pt_BR", "")
                                 .replace(
                                     "\n\n",
                                     "\n\"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n")}
        << "the source must be UTF-8, not ISO-8859-1";
    QTest::addRow("context twice") << one("msgctxt \"7\"\nmsgid \"a\"\nmsgstr \"b\"\n\nmsgctxt "
                                          "\"7\"\nmsgid \"a\"\nmsgstr \"c\"\n")
                                   << "source0.po:9: \"7\" is translated again (first at line 5)";
    QTest::addRow("class entry twice in other case")
        << one("msgctxt \"TFrmA/B/Caption\"\nmsgid \"a\"\nmsgstr \"b\"\n\n"
               "msgctxt \"TFRMA/B/Caption\"\nmsgid \"a\"\nmsgstr \"c\"\n")
        << "source0.po:9: \"TFRMA/B/Caption\" is translated again";
    QTest::addRow("leading zero") << one("msgctxt \"01000\"\nmsgid \"a\"\nmsgstr \"b\"\n")
                                  << "source0.po:5: context \"01000\" is neither";
    QTest::addRow("identifier 65536") << one("msgctxt \"65536\"\nmsgid \"a\"\nmsgstr \"b\"\n")
                                      << "resource string 65536 is not below 65536";
    QTest::addRow("dash in a component")
        << one("msgctxt \"TFrmA/B-C/Caption\"\nmsgid \"a\"\nmsgstr \"b\"\n")
        << "must be ASCII, without \"-\"";
    QTest::addRow("blank in a path")
        << one("msgctxt \"TFrmA/B/Lines (0)\"\nmsgid \"a\"\nmsgstr \"b\"\n")
        << "must be ASCII, without \"-\"";
    QTest::addRow("class name not an identifier")
        << one("msgctxt \"T Frm/B/Caption\"\nmsgid \"a\"\nmsgstr \"b\"\n") << "is neither";
    QTest::addRow("no context") << one("msgid \"a\"\nmsgstr \"b\"\n") << "entry without msgctxt";
    QTest::addRow("no msgstr")
        << one("msgctxt \"1\"\nmsgid \"a\"\n\nmsgctxt \"2\"\nmsgid \"b\"\nmsgstr \"c\"\n")
        << "source0.po:5: entry without msgstr";
    QTest::addRow("plural")
        << one("msgctxt \"1\"\nmsgid \"a\"\nmsgid_plural \"as\"\nmsgstr[0] \"b\"\n")
        << "source0.po:7: plural forms are not used";
    QTest::addRow("unterminated string") << one("msgctxt \"1\"\nmsgid \"a\nmsgstr \"b\"\n")
                                         << "source0.po:6: expected a quoted string";
    QTest::addRow("unknown escape") << one("msgctxt \"1\"\nmsgid \"a\\q\"\nmsgstr \"b\"\n")
                                    << "source0.po:6: unknown escape \\q";
    QTest::addRow("not UTF-8") << one("msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"\xff\"\n")
                               << "source0.po:5: text is not UTF-8";
    QTest::addRow("empty flag with a text")
        << one("#, empty\nmsgctxt \"1\"\nmsgid \"a\"\nmsgstr \"b\"\n")
        << "flag \"empty\" on a message with a translation";
}

void TestLcfTool::compileErrors()
{
    QFETCH(QList<QByteArray>, sources);
    QFETCH(QString, error);

    try {
        compiled(sources);
        QFAIL("compiled");
    } catch (const CompileError& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(error), e.what());
    }
}

void TestLcfTool::commands_data()
{
    QTest::addColumn<QStringList>("args"); // FILE stands for a small language file
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");

    QTest::addRow("languages") << QStringList{"languages", "FILE"} << 0
                               << QByteArray("valid\n0 1046\n1 1033\n");
    QTest::addRow("languages of an invalid file")
        << QStringList{"languages", "INVALID"} << 2 << QByteArray("invalid\n");
    QTest::addRow("string") << QStringList{"string", "FILE", "1046", "1005"} << 0
                            << QByteArray("Sim\n");
    QTest::addRow("empty string") << QStringList{"string", "FILE", "1033", "1001"} << 0
                                  << QByteArray("\n");
    QTest::addRow("string with no text")
        << QStringList{"string", "FILE", "1046", "1001"} << 1 << QByteArray();
    QTest::addRow("string of a language not listed")
        << QStringList{"string", "FILE", "3082", "1005"} << 2 << QByteArray();
    QTest::addRow("string of an invalid file")
        << QStringList{"string", "INVALID", "1046", "1005"} << 2 << QByteArray();
    QTest::addRow("class") << QStringList{"class", "FILE", "1033", "tfrmx"} << 0
                           << QByteArray("Grade\tColumns<0>.Title.Caption\tNome \xc3\xa9\n"
                                         "BOk\tCaption\tOK\n");
    QTest::addRow("class, entry without text") << QStringList{"class", "FILE", "1046", "TFrmX"} << 0
                                               << QByteArray("Grade\tColumns<0>.Title.Caption\n"
                                                             "BOk\tCaption\n");
    QTest::addRow("no class record")
        << QStringList{"class", "FILE", "1033", "TFrmY"} << 1 << QByteArray();
    QTest::addRow("class of an invalid file")
        << QStringList{"class", "INVALID", "1033", "TFrmX"} << 2 << QByteArray();
    QTest::addRow("identifier out of range")
        << QStringList{"string", "FILE", "1046", "65536"} << 2 << QByteArray();
    QTest::addRow("no command") << QStringList{} << 2 << QByteArray();
    QTest::addRow("unknown option")
        << QStringList{"languages", "--bogus", "FILE"} << 2 << QByteArray();
    QTest::addRow("missing argument") << QStringList{"string", "FILE", "1046"} << 2 << QByteArray();
    QTest::addRow("compile without -o") << QStringList{"compile", "FILE"} << 2 << QByteArray();
    QTest::addRow("-o without its value")
        << QStringList{"compile", "FILE", "-o"} << 2 << QByteArray();
    QTest::addRow("unknown machine")
        << QStringList{"compile", "FILE", "-o", "X", "--machine", "arm"} << 2 << QByteArray();
    QTest::addRow("version") << QStringList{"--version"} << 0
                             << QByteArray("tarvo-lcf " TARVO_VERSION "\n");
}

void TestLcfTool::commands()
{
    QFETCH(QStringList, args);

    const QString source = files_.write(po("pt_BR", kMessages));
    const QString english = files_.write(po("en_US", R"po(
msgctxt "1005"
msgid "OK"
msgstr "OK"

#, empty
msgctxt "1001"
msgid "Blank"
msgstr ""

msgctxt "TFrmX/BOk/Caption"
msgid "OK"
msgstr "OK"

msgctxt "TFrmX/Grade/Columns<0>.Title.Caption"
msgid "Nome"
msgstr "Nome é"
)po"));
    const QString file = files_.write({});
    QCOMPARE(run({"compile", source, english, "-o", file}).status, 0);
    args.replaceInStrings(QRegularExpression("^FILE$"), file);
    args.replaceInStrings(QRegularExpression("^INVALID$"), source);

    const Run result = run(args);
    QTEST(result.status, "status");
    QTEST(result.out, "out");
}

// The file the build installs beside the program: its languages, and a text for every
// resource string in each of them, the English ones equal to the built-in texts.
void TestLcfTool::installedFile()
{
    QCOMPARE(run({"languages", kInstalled}).out, QByteArray("valid\n0 3082\n1 1033\n2 1046\n"));
    for (quint32 lcid : {3082, 1033, 1046}) {
        TLcf lcf;
        QCOMPARE(lcf.Open(kInstalled, lcid), 1);
        for (int id : ResourceStrings::identifiers()) {
            const std::optional<QString> text = lcf.FindString(id);
            QVERIFY2(text && !text->isEmpty(),
                     qPrintable(QStringLiteral("%1 in %2").arg(id).arg(lcid)));
            if (lcid == 1033)
                QCOMPARE(*text, ResourceStrings::builtIn(id));
        }
    }
}

QTEST_GUILESS_MAIN(TestLcfTool)
#include "tst_lcftool.moc"
