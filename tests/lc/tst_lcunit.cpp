#include "LcUnit.h"
#include "LcfFixture.h"
#include "platform/LittleEndian.h"

#include <QTest>

using namespace LcfFixture;

namespace {

// Three languages in this header order: Spanish (Spain) 3082, English (United States) 1033,
// Portuguese (Brazil) 1046.
const QList<QByteArray>& sources()
{
    static const QList<QByteArray> texts = {
        po("es_ES", R"po(
msgctxt "1000"
msgid "One"
msgstr "Uno"

#, empty
msgctxt "1001"
msgid "Blank"
msgstr ""

#, fuzzy
msgctxt "1002"
msgid "Two"
msgstr "Dos (dudoso)"

msgctxt "1003"
msgid "Three"
msgstr ""

msgctxt "1005"
msgid "Smile"
msgstr "Sonrisa 😀 ñ"

msgctxt "TFrmTeste/TFrmTeste/Caption"
msgid "Teste"
msgstr "Prueba"

msgctxt "TFrmTeste/BNovo/Hint"
msgid "Novo"
msgstr ""

#, empty
msgctxt "TFrmTeste/Grade/Columns<0>.Title.Caption"
msgid "Nome"
msgstr ""
)po"),
        po("en_US", R"po(
msgctxt "1000"
msgid "One"
msgstr "One"

msgctxt "1004"
msgid "Four"
msgstr "Four"

msgctxt "TFrmTeste/TFrmTeste/Caption"
msgid "Teste"
msgstr "Test"

msgctxt "TFrmTeste/BNovo/Hint"
msgid "Novo"
msgstr "New"
)po"),
        po("pt_BR", R"po(
msgctxt "1000"
msgid "One"
msgstr "Um"

msgctxt "TFrmTeste/Grade/Columns<0>.Title.Caption"
msgid "Nome"
msgstr "Nome"
)po"),
    };
    return texts;
}

QByteArray threeLanguages(const LcfOptions& options = {})
{
    return compiled(sources(), options);
}

// A class record written by hand around the given property entries.
QByteArray classRecord(const QByteArray& name, const QList<QByteArray>& entries,
                       std::optional<qint32> count = {})
{
    QByteArray table;
    QByteArray data;
    for (const QByteArray& entry : entries) {
        LittleEndian::append<qint32>(table, entries.size() * 8 + data.size());
        LittleEndian::append<qint32>(table, 0);
        data += entry;
    }
    QByteArray bytes;
    LittleEndian::append<qint32>(bytes, name.size());
    bytes += name;
    LittleEndian::append<qint32>(bytes, count.value_or(entries.size()));
    return bytes + table + data;
}

// A property entry with a key and one language's text, both well inside it.
QByteArray entry(const QByteArray& key, const QString& text)
{
    const QByteArray chars = utf16(text);
    return slotTable({{16, qint32(key.size())}, {16 + qint32(key.size()), qint32(chars.size())}},
                     key + chars);
}

// "component|path|text", or "component|path" for an entry without text.
QStringList summary(const TProps& props)
{
    QStringList lines;
    for (const TProp& prop : props.props) {
        QString line = QString::fromLatin1(prop.componentName + '|' + prop.propertyPath);
        if (prop.hasText)
            line += QLatin1Char('|') + prop.text;
        lines.append(line);
    }
    return lines;
}

QList<quint32> g_seen;
int g_stopAt = 0;

int32_t recordLanguage(uint32_t lcid, void* data)
{
    QList<quint32>& seen = *static_cast<QList<quint32>*>(data);
    seen.append(lcid);
    return seen.size() == g_stopAt ? 0 : 1;
}

} // namespace

class LcBase : public QObject
{
    Q_OBJECT
};

class LcDerived : public LcBase
{
    Q_OBJECT
};

class TestLcUnit : public QObject
{
    Q_OBJECT

private slots:
    void open_data();
    void open();
    void findString_data();
    void findString();
    void classEntries_data();
    void classEntries();
    void ancestorsFirst();
    void entryKey_data();
    void entryKey();
    void damagedClassRecord_data();
    void damagedClassRecord();

private:
    Files files_;
};

void TestLcUnit::open_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no file at all
    QTest::addColumn<quint32>("lcid");
    QTest::addColumn<int>("stopAt"); // the callback returns 0 on that call; 0: never
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<quint32>>("seen");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("codePage"); // format 1: the language's default

    const QList<quint32> all = {3082, 1033, 1046};
    QTest::addRow("format 1") << threeLanguages() << 1033u << 0 << 1 << all << 1 << 1 << 1252;
    QTest::addRow("leading slot") << threeLanguages({PeMachine::I386, true}) << 3082u << 0 << 1
                                  << all << 1 << 0 << 1252;
    QTest::addRow("PE32+") << threeLanguages({PeMachine::Amd64, false}) << 1046u << 0 << 1 << all
                           << 2 << 2 << 1252;
    QTest::addRow("not listed") << threeLanguages() << 1031u << 0 << 0 << all << -1 << -1 << 0;
    QTest::addRow("enumeration stopped at the first")
        << threeLanguages() << 1046u << 1 << 1 << QList<quint32>{3082} << 2 << 2 << 1252;
    QTest::addRow("enumeration stopped at the selected one")
        << threeLanguages() << 1033u << 2 << 1 << QList<quint32>{3082, 1033} << 1 << 1 << 1252;
    QTest::addRow("format 2") << compiled({po("es_ES", "", 1252), po("en_US", ""),
                                           po("pt_BR", "", 1250)})
                              << 1046u << 0 << 1 << all << 2 << 2 << 1250;
    QTest::addRow("format 2, language without a code page")
        << compiled({po("es_ES", "", 1252), po("en_US", "")}) << 1033u << 0 << 1
        << QList<quint32>{3082, 1033} << 1 << 1 << 0;
    QTest::addRow("identifier compared as 32 bits")
        << compiled({po("de_DE@collation=phonebook", "")}) << 0x407u << 0 << 0
        << QList<quint32>{0x10407} << -1 << -1 << 0;
    QTest::addRow("other flag bits ignored")
        << library({{"LCHEADER", header({1046}, 0xfffffffe)}}) << 1046u << 0 << 1
        << QList<quint32>{1046} << 0 << 0 << 1252;
    QTest::addRow("both headers: format 1")
        << library({{"LCHEADER", header({1046})},
                    {"LCHEADE2", header({1033, 1046}, 1, "LCHEADER", {1250, 1250})}})
        << 1046u << 0 << 1 << QList<quint32>{1046} << 0 << 0 << 1252;
    QTest::addRow("format 2 with magic LCHEADE2")
        << library({{"LCHEADE2", header({1046}, 0, "LCHEADE2", {1252})}}) << 1046u << 0 << -1
        << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("16 bytes, no languages")
        << library({{"LCHEADER", header({})}}) << 0u << 0 << 0 << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("negative count")
        << library({{"LCHEADER", patched(header({1046}), 12, quint32(-1))}}) << 1046u << 0 << 0
        << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("15 bytes") << library({{"LCHEADER", header({}).left(15)}}) << 0u << 0 << -1
                              << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("wrong magic") << library({{"LCHEADER", header({1046}, 0, "LCHEADEX")}}) << 1046u
                                 << 0 << -1 << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("identifiers past the header")
        << library({{"LCHEADER", header({1046, 1033}).left(20)}}) << 1046u << 0 << -1
        << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("count of 2^31 - 1")
        << library({{"LCHEADER", patched(header({1046}), 12, 0x7fffffff)}}) << 1046u << 0 << -1
        << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("code pages past the header")
        << library({{"LCHEADE2", header({1046, 1033}, 0, "LCHEADER", {1252})}}) << 1046u << 0 << -1
        << QList<quint32>{} << -1 << -1 << 0;
    const QByteArray bothHeaders =
        library({{"LCHEADER", header({1046})}, {"LCHEADE2", header({1046})}});
    // The second data entry is LCHEADER's: names are in ascending order.
    const QByteArray unreadable =
        patched(bothHeaders, layoutOf(bothHeaders).dataEntry + 16 + 4, 0x7ffffff0);
    QTest::addRow("unreadable LCHEADER beside LCHEADE2")
        << unreadable << 1046u << 0 << -1 << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("no header record") << library({{"1000", slotTable({{8, 0}})}}) << 1046u << 0
                                      << -1 << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("not a library")
        << QByteArray("LCHEADER\1\0\0\0") << 1046u << 0 << -1 << QList<quint32>{} << -1 << -1 << 0;
    QTest::addRow("no file") << QByteArray() << 1046u << 0 << -1 << QList<quint32>{} << -1 << -1
                             << 0;
}

void TestLcUnit::open()
{
    QFETCH(QByteArray, file);
    QFETCH(quint32, lcid);
    QFETCH(int, stopAt);

    const QString path = file.isNull() ? files_.write({}) + ".missing" : files_.write(file);
    TLcf lcf;
    QList<quint32> seen;
    g_stopAt = stopAt;
    QTEST(lcf.Open(path, lcid, recordLanguage, &seen), "result");
    QTEST(seen, "seen");
    QTEST(lcf.column(), "column");
    QTEST(lcf.position(), "position");
    QTEST(lcf.codePage(), "codePage");
}

void TestLcUnit::findString_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<quint32>("lcid");
    QTest::addColumn<quint32>("id");
    QTest::addColumn<QString>("expected"); // null: no text

    const QByteArray three = threeLanguages();
    QTest::addRow("first language") << three << 3082u << 1000u << "Uno";
    QTest::addRow("second language") << three << 1033u << 1000u << "One";
    QTest::addRow("third language") << three << 1046u << 1000u << "Um";
    QTest::addRow("empty text") << three << 3082u << 1001u << "";
    QTest::addRow("untranslated") << three << 1033u << 1001u << QString();
    QTest::addRow("fuzzy") << three << 3082u << 1002u << QString();
    QTest::addRow("empty msgstr") << three << 3082u << 1003u << QString();
    QTest::addRow("missing from this language") << three << 3082u << 1004u << QString();
    QTest::addRow("present in another") << three << 1033u << 1004u << "Four";
    QTest::addRow("beyond the BMP") << three << 3082u << 1005u << "Sonrisa 😀 ñ";
    QTest::addRow("no record") << three << 1033u << 2000u << QString();
    QTest::addRow("no language selected") << three << 1031u << 1000u << QString();

    const QByteArray leading = threeLanguages({PeMachine::I386, true});
    QTest::addRow("leading slot, first language") << leading << 3082u << 1000u << "Uno";
    QTest::addRow("leading slot, last language") << leading << 1046u << 1000u << "Um";
    QTest::addRow("leading slot, empty text") << leading << 3082u << 1001u << "";

    const auto raw = [](const QByteArray& record) {
        return library({{"LCHEADER", header({1046, 1033, 3082})}, {"1000", record}});
    };
    QTest::addRow("odd size") << raw(slotTable({{8, 5}}, utf16("ab") + "x")) << 1046u << 1000u
                              << "ab";
    QTest::addRow("size 1") << raw(slotTable({{8, 1}}, "x")) << 1046u << 1000u << "";
    QTest::addRow("size -1") << raw(slotTable({{8, -1}}, "ab")) << 1046u << 1000u << QString();
    QTest::addRow("text past the end")
        << raw(slotTable({{8, 4}}, "ab")) << 1046u << 1000u << QString();
    QTest::addRow("offset past the end")
        << raw(slotTable({{0x7ffffff0, 2}}, "ab")) << 1046u << 1000u << QString();
    QTest::addRow("negative offset")
        << raw(slotTable({{-4, 2}}, "ab")) << 1046u << 1000u << QString();
    QTest::addRow("huge size") << raw(slotTable({{8, 0x7fffffff}}, "ab")) << 1046u << 1000u
                               << QString();
    QTest::addRow("slot past the record")
        << raw(slotTable({{8, 2}}, "a\0")) << 3082u << 1000u << QString();
    QTest::addRow("half a slot") << raw(slotTable({{8, 2}}).left(4)) << 1046u << 1000u << QString();
}

void TestLcUnit::findString()
{
    QFETCH(QByteArray, file);
    QFETCH(quint32, lcid);
    QFETCH(quint32, id);
    QFETCH(QString, expected);

    TLcf lcf;
    QVERIFY(lcf.Open(files_.write(file), lcid) >= 0);
    const std::optional<QString> text = lcf.FindString(id);
    QCOMPARE(text.has_value(), !expected.isNull());
    if (text)
        QCOMPARE(*text, expected);
}

void TestLcUnit::classEntries_data()
{
    QTest::addColumn<bool>("leadingSlot");
    QTest::addColumn<quint32>("lcid");
    QTest::addColumn<QStringList>("entries");

    // From the last entry of the record to the first; the record keeps first appearance.
    for (bool leading : {false, true}) {
        const char* tag = leading ? "leading slot" : "no leading slot";
        QTest::addRow("%s, first language", tag)
            << leading << 3082u
            << QStringList{"Grade|Columns<0>.Title.Caption|", "BNovo|Hint",
                           "TFrmTeste|Caption|Prueba"};
        QTest::addRow("%s, second language", tag)
            << leading << 1033u
            << QStringList{"Grade|Columns<0>.Title.Caption", "BNovo|Hint|New",
                           "TFrmTeste|Caption|Test"};
        QTest::addRow("%s, third language", tag)
            << leading << 1046u
            << QStringList{"Grade|Columns<0>.Title.Caption|Nome", "BNovo|Hint",
                           "TFrmTeste|Caption"};
    }
}

void TestLcUnit::classEntries()
{
    QFETCH(bool, leadingSlot);
    QFETCH(quint32, lcid);

    TLcf lcf;
    QCOMPARE(lcf.Open(files_.write(threeLanguages({PeMachine::I386, leadingSlot})), lcid), 1);
    TProps props(lcf, this);
    QVERIFY(props.LoadClassRecord("tfrmteste"));
    QTEST(summary(props), "entries");
    QVERIFY(!TProps(lcf, this).LoadClassRecord("TFRMOUTRO"));
}

void TestLcUnit::ancestorsFirst()
{
    const QByteArray messages = R"po(
msgctxt "QObject/A/Text"
msgid "a"
msgstr "object a"

msgctxt "QObject/B/Text"
msgid "b"
msgstr "object b"

msgctxt "LcBase/C/Text"
msgid "c"
msgstr "base c"

msgctxt "LcDerived/D/Text"
msgid "d"
msgstr "derived d"
)po";
    TLcf lcf;
    QCOMPARE(lcf.Open(files_.write(compiled({po("pt_BR", messages.constData())})), 1046), 1);
    TProps props(lcf, nullptr);
    QVERIFY(props.LoadClass(&LcDerived::staticMetaObject));
    const QStringList all = {"B|Text|object b", "A|Text|object a", "C|Text|base c",
                             "D|Text|derived d"};
    QCOMPARE(summary(props), all);

    // Without a record of its own the class reports false; its ancestors' entries are there.
    QCOMPARE(
        lcf.Open(files_.write(compiled({po(
                     "pt_BR", QByteArray(messages).replace("LcDerived", "Other").constData())})),
                 1046),
        1);
    TProps withoutOwn(lcf, nullptr);
    QVERIFY(!withoutOwn.LoadClass(&LcDerived::staticMetaObject));
    QCOMPARE(summary(withoutOwn), all.first(3));
}

void TestLcUnit::entryKey_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("component");
    QTest::addColumn<QByteArray>("path");

    QTest::addRow("plain") << QByteArray("BNovo-Caption") << QByteArray("BNovo")
                           << QByteArray("Caption");
    QTest::addRow("path with segments")
        << QByteArray("Grade-Columns<0>.Title.Caption") << QByteArray("Grade")
        << QByteArray("Columns<0>.Title.Caption");
    QTest::addRow("second dash") << QByteArray("A-B.C-ignored-too") << QByteArray("A")
                                 << QByteArray("B.C");
    QTest::addRow("no dash") << QByteArray("Alone") << QByteArray("Alone") << QByteArray();
    QTest::addRow("leading dash") << QByteArray("-Caption") << QByteArray()
                                  << QByteArray("Caption");
    QTest::addRow("two dashes") << QByteArray("A--B") << QByteArray("A") << QByteArray();
    QTest::addRow("8-bit") << QByteArray("Bot\xe3o-Caption") << QByteArray("Bot\xe3o")
                           << QByteArray("Caption");
    QTest::addRow("empty") << QByteArray("") << QByteArray() << QByteArray();
}

void TestLcUnit::entryKey()
{
    QFETCH(QByteArray, key);

    TLcf lcf;
    const QByteArray file =
        library({{"LCHEADER", header({1046})}, {"TX", classRecord("TX", {entry(key, "t")})}});
    QCOMPARE(lcf.Open(files_.write(file), 1046), 1);
    TProps props(lcf, nullptr);
    QVERIFY(props.LoadClassRecord("TX"));
    QCOMPARE(props.props.size(), 1);
    QTEST(props.props.at(0).componentName, "component");
    QTEST(props.props.at(0).propertyPath, "path");
    QCOMPARE(props.props.at(0).text, QString("t"));
}

void TestLcUnit::damagedClassRecord_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QStringList>("entries");

    const QByteArray good = entry("A-Caption", "x");
    const QByteArray fine = classRecord("TX", {good});
    QTest::addRow("intact") << fine << true << QStringList{"A|Caption|x"};
    QTest::addRow("no entries") << classRecord("TX", {}) << true << QStringList{};
    QTest::addRow("negative count") << classRecord("TX", {good}, -5) << true << QStringList{};
    QTest::addRow("table past the end") << classRecord("TX", {good}, 10) << false << QStringList{};
    QTest::addRow("huge count") << classRecord("TX", {good}, 0x7fffffff) << false << QStringList{};
    QTest::addRow("name length past the end") << patched(fine, 0, 0x100) << false << QStringList{};
    QTest::addRow("negative name length")
        << patched(fine, 0, quint32(-4)) << false << QStringList{};
    QTest::addRow("empty record") << QByteArray() << false << QStringList{};
    QTest::addRow("name length only") << fine.left(6) << false << QStringList{};

    const qint64 table = 4 + 2 + 4;
    QTest::addRow("entry past the end")
        << patched(fine, table, 0x10000) << true << QStringList{"|"};
    QTest::addRow("entry before the record")
        << patched(fine, table, quint32(-16)) << true << QStringList{"|"};
    QTest::addRow("key past the end")
        << classRecord("TX", {slotTable({{16, 100}, {16, 2}}, utf16("x"))}) << true
        << QStringList{"||x"};
    QTest::addRow("text past the end")
        << classRecord("TX", {slotTable({{16, 1}, {17, 100}}, "A-B")}) << true << QStringList{"A|"};
    QTest::addRow("text of negative size")
        << classRecord("TX", {slotTable({{16, 3}, {0, -1}}, "A-B")}) << true << QStringList{"A|B"};
    QTest::addRow("odd text size")
        << classRecord("TX", {slotTable({{16, 3}, {19, 3}}, "A-B" + utf16("y") + "z")}) << true
        << QStringList{"A|B|y"};
    QTest::addRow("no text slot") << classRecord("TX", {slotTable({{8, 3}}, "A-B")}) << true
                                  << QStringList{"A|B"};

    // Thousands of entries pointing at one large entry: reading them would copy the record
    // many times over.
    const qint32 entries = 5000;
    const QByteArray large = entry("A-" + QByteArray(60000, 'k'), QString(30000, u't'));
    QByteArray shared;
    LittleEndian::append<qint32>(shared, 2);
    shared += "TX";
    LittleEndian::append<qint32>(shared, entries);
    for (qint32 i = 0; i < entries; ++i) {
        LittleEndian::append<qint32>(shared, entries * 8);
        LittleEndian::append<qint32>(shared, 0);
    }
    QTest::addRow("entries sharing one large entry") << shared + large << false << QStringList{};
    // A little sharing within what the record holds stays readable.
    QTest::addRow("two entries sharing a small one")
        << patched(classRecord("TX", {good, QByteArray(40, '\0')}), table + 8, 16) << true
        << QStringList{"A|Caption|x", "A|Caption|x"};
}

void TestLcUnit::damagedClassRecord()
{
    QFETCH(QByteArray, record);

    TLcf lcf;
    QCOMPARE(lcf.Open(files_.write(library({{"LCHEADER", header({1046})}, {"TX", record}})), 1046),
             1);
    TProps props(lcf, nullptr);
    QTEST(props.LoadClassRecord("TX"), "found");
    QTEST(summary(props), "entries");
}

QTEST_GUILESS_MAIN(TestLcUnit)
#include "tst_lcunit.moc"
