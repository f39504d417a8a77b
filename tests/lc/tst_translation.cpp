#include "LcUnit.h"
#include "LcfFixture.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"
#include "widgets/Controls.h"

#include <QApplication>
#include <QLocale>
#include <QTest>

using namespace LcfFixture;

// The window the language files below translate: a caption that counts its writes, a label,
// a list, a memo and a status bar with two panels.
class TestWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ windowTitle WRITE setCaption)

public:
    TestWindow()
        : LNome(new Label(QStringLiteral("LNome"), QStringLiteral("Nome"), this)),
          CBLista(new ComboBox(QStringLiteral("CBLista"), this)),
          MObs(new Memo(QStringLiteral("MObs"), this)),
          Status(new StatusBar(QStringLiteral("Status"), this))
    {
        setObjectName(QStringLiteral("FrmTeste"));
        setWindowTitle(QStringLiteral("Teste"));
        CBLista->addItems({QStringLiteral("um"), QStringLiteral("dois"), QStringLiteral("três")});
        MObs->setPlainText(QStringLiteral("linha 1\nlinha 2"));
        Status->setPanels({QStringLiteral("p0"), QStringLiteral("p1")});
    }

    void setCaption(const QString& caption)
    {
        ++captionWrites;
        setWindowTitle(caption);
    }

    Label* LNome;
    ComboBox* CBLista;
    Memo* MObs;
    StatusBar* Status;
    int captionWrites = 0;
};

// Has no record of its own in any file below, while its ancestor has.
class DerivedWindow : public TestWindow
{
    Q_OBJECT
};

class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void loadLanguage_data();
    void loadLanguage();
    void redirection();
    void codePageOfTheLanguage();
    void appliesEntries();
    void silentLanguageKeepsEarlierTexts();
    void equalTextIsNotWritten();
    void classWithoutOwnRecord();
    void badIndexEndsTranslation_data();
    void badIndexEndsTranslation();
    void displayNames();

private:
    QString file(const QList<QByteArray>& sources);
    Files files_;
};

namespace {

// Spanish (Spain) 3082 and English (United States) 1033. Entries of one record are applied
// from the last to the first, so the order here is the reverse of their application.
QByteArray spanish()
{
    return po("es_ES", R"po(
msgctxt "1000"
msgid "Field '%s' must have a value"
msgstr "El campo '%s' debe tener un valor"

#, empty
msgctxt "1001"
msgid "Cannot perform this operation on an empty dataset"
msgstr ""

msgctxt "TestWindow/FrmTeste/Caption"
msgid "Teste"
msgstr "Prueba"

msgctxt "TestWindow/lnome/caption"
msgid "Nome"
msgstr "Nombre"

msgctxt "TestWindow/CBLista/Items(1).Anything"
msgid "dois"
msgstr "dos"

msgctxt "TestWindow/CBLista/Items.Strings(2)"
msgid "três"
msgstr "tres"

msgctxt "TestWindow/CBLista/Items.Strings(3)"
msgid "past the end"
msgstr "más allá"

msgctxt "TestWindow/CBLista/Items"
msgid "the list itself"
msgstr "la lista"

msgctxt "TestWindow/CBLista/Items(0)"
msgid "as the last segment, the list itself"
msgstr "uno"

msgctxt "TestWindow/MObs/Lines(0).Text"
msgid "linha 1"
msgstr "línea 1"

msgctxt "TestWindow/Status/Panels<1>.Text"
msgid "p1"
msgstr "panel 1"

msgctxt "TestWindow/Nobody/Caption"
msgid "x"
msgstr "nadie"

msgctxt "TestWindow/LNome/NoSuchProperty"
msgid "x"
msgstr "nada"

msgctxt "TestWindow/LNome/Hint"
msgid "Hint"
msgstr "Sugerencia"
)po");
}

QByteArray english()
{
    return po("en_US", R"po(
msgctxt "TestWindow/FrmTeste/Caption"
msgid "Teste"
msgstr "Test"
)po");
}

} // namespace

QString TestTranslation::file(const QList<QByteArray>& sources)
{
    return files_.write(compiled(sources));
}

void TestTranslation::cleanup()
{
    UnloadLanguage();
    QLocale::setDefault(QLocale::c());
}

void TestTranslation::loadLanguage_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<uint>("lcid");
    QTest::addColumn<int>("result");

    const QString valid = file({spanish(), english()});
    QTest::newRow("selected") << valid << 1033u << 1;
    QTest::newRow("not listed") << valid << 1046u << 0;
    QTest::newRow("missing file") << QStringLiteral("/nonexistent/x.lcf") << 1033u << -1;
    QTest::newRow("not a library") << files_.write("LCHEADER but no image") << 1033u << -1;
}

void TestTranslation::loadLanguage()
{
    QFETCH(QString, fileName);
    QFETCH(uint, lcid);
    QFETCH(int, result);

    // A language loaded before is gone whatever the outcome.
    QCOMPARE(LoadLanguage(file({spanish()}), 3082), 1);
    QCOMPARE(LoadLanguage(fileName, lcid), result);
    QCOMPARE(CurrentLanguage() != nullptr, result == 1);
    QCOMPARE(ResourceStrings::load(ResourceStrings::FieldRequired) ==
                 ResourceStrings::builtIn(ResourceStrings::FieldRequired),
             true);
}

void TestTranslation::redirection()
{
    const QString fileName = file({spanish(), english()});
    const QString builtIn = ResourceStrings::builtIn(ResourceStrings::FieldRequired);
    QCOMPARE(ResourceStrings::load(ResourceStrings::FieldRequired), builtIn);

    QCOMPARE(LoadLanguage(fileName, 3082), 1);
    QCOMPARE(ResourceStrings::load(ResourceStrings::FieldRequired),
             QStringLiteral("El campo '%s' debe tener un valor"));
    QCOMPARE(ResourceStrings::format(ResourceStrings::FieldRequired, QStringLiteral("NOME")),
             QStringLiteral("El campo 'NOME' debe tener un valor"));
    // An empty translation is a text; no record at all falls back.
    QCOMPARE(ResourceStrings::load(ResourceStrings::DataSetEmpty), QString());
    QCOMPARE(ResourceStrings::load(ResourceStrings::UpdateFailed),
             ResourceStrings::builtIn(ResourceStrings::UpdateFailed));

    // English has no slot text for 1000: the built-in text answers.
    QCOMPARE(LoadLanguage(fileName, 1033), 1);
    QCOMPARE(ResourceStrings::load(ResourceStrings::FieldRequired), builtIn);

    QCOMPARE(LoadLanguage(fileName, 3082), 1);
    UnloadLanguage();
    QCOMPARE(ResourceStrings::load(ResourceStrings::FieldRequired), builtIn);

    // An identifier of 65536 or more is the address of its own text, with or without a
    // language.
    static const char ownText[] = "Pr\xe9via";
    QCOMPARE(ResourceStrings::load(reinterpret_cast<quintptr>(ownText)), QStringLiteral("Prévia"));
    QCOMPARE(LoadLanguage(fileName, 3082), 1);
    QCOMPARE(ResourceStrings::load(reinterpret_cast<quintptr>(ownText)), QStringLiteral("Prévia"));
}

void TestTranslation::codePageOfTheLanguage()
{
    // Code page 1250 holds "ř" as the byte 0xF8, which the system's own code page reads as
    // "ø"; a character the code page lacks becomes "?".
    const QString fileName = file({po("cs_CZ", R"po(
msgctxt "1002"
msgid "Update Failed"
msgstr "ř€ß→"
)po",
                                      1250)});
    QCOMPARE(LoadLanguage(fileName, 1029), 1);
    QCOMPARE(CurrentLanguage()->codePage(), 1250);
    QCOMPARE(ResourceStrings::load(ResourceStrings::UpdateFailed), QStringLiteral("ø€ß?"));

    // Format 1 takes the language's default code page.
    QCOMPARE(LoadLanguage(file({po("ru_RU", "")}), 1049), 1);
    QCOMPARE(CurrentLanguage()->codePage(), 1251);
    QCOMPARE(LoadLanguage(file({po("pt_BR", "")}), 1046), 1);
    QCOMPARE(CurrentLanguage()->codePage(), 1252);
}

void TestTranslation::appliesEntries()
{
    TestWindow window;
    QVERIFY(!TranslateComponent(&window)); // no language loaded
    QCOMPARE(window.windowTitle(), QStringLiteral("Teste"));

    QCOMPARE(LoadLanguage(file({spanish(), english()}), 3082), 1);
    QVERIFY(TranslateComponent(&window));

    QCOMPARE(window.windowTitle(), QStringLiteral("Prueba"));
    QCOMPARE(window.LNome->text(), QStringLiteral("Nombre"));
    QCOMPARE(window.LNome->toolTip(), QStringLiteral("Sugerencia"));
    QCOMPARE(window.CBLista->itemText(0), QStringLiteral("um"));
    QCOMPARE(window.CBLista->itemText(1), QStringLiteral("dos"));
    QCOMPARE(window.CBLista->itemText(2), QStringLiteral("tres"));
    QCOMPARE(window.CBLista->count(), 3); // index 3 equals the count: nothing happens
    QCOMPARE(window.MObs->toPlainText(), QStringLiteral("línea 1\nlinha 2"));
    QCOMPARE(window.Status->panel(0)->text(), QStringLiteral("p0"));
    QCOMPARE(window.Status->panel(1)->text(), QStringLiteral("panel 1"));
}

void TestTranslation::silentLanguageKeepsEarlierTexts()
{
    const QString fileName = file({spanish(), english()});
    TestWindow window;
    QCOMPARE(LoadLanguage(fileName, 3082), 1);
    TranslateComponent(&window);
    QCOMPARE(LoadLanguage(fileName, 1033), 1);
    QVERIFY(TranslateComponent(&window));

    QCOMPARE(window.windowTitle(), QStringLiteral("Test"));
    QCOMPARE(window.LNome->text(), QStringLiteral("Nombre"));
    QCOMPARE(window.Status->panel(1)->text(), QStringLiteral("panel 1"));
}

void TestTranslation::equalTextIsNotWritten()
{
    TestWindow window;
    window.setCaption(QStringLiteral("Prueba"));
    window.captionWrites = 0;
    QCOMPARE(LoadLanguage(file({spanish()}), 3082), 1);
    TranslateComponent(&window);
    QCOMPARE(window.captionWrites, 0);
}

void TestTranslation::classWithoutOwnRecord()
{
    DerivedWindow window;
    QCOMPARE(LoadLanguage(file({spanish()}), 3082), 1);
    QVERIFY(!TranslateComponent(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Teste"));
    QCOMPARE(window.LNome->text(), QStringLiteral("Nome"));
}

void TestTranslation::badIndexEndsTranslation_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("message");

    QTest::newRow("not an integer")
        << QByteArray("Items(x1).Text") << QStringLiteral("'x1' is not a valid integer value");
    QTest::newRow("empty index") << QByteArray("Items.Strings()")
                                 << QStringLiteral("'' is not a valid integer value");
    QTest::newRow("collection index past the end")
        << QByteArray("Panels<2>.Text") << QStringLiteral("List index out of bounds (2)");
}

void TestTranslation::badIndexEndsTranslation()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, message);

    const QByteArray component = path.startsWith("Panels") ? "Status" : "CBLista";
    // Applied in the order: caption, the bad entry, the label.
    const QByteArray messages = R"po(
msgctxt "TestWindow/LNome/Caption"
msgid "Nome"
msgstr "Nombre"

msgctxt "TestWindow/)po" + component +
                                "/" + path + R"po("
msgid "bad"
msgstr "malo"

msgctxt "TestWindow/FrmTeste/Caption"
msgid "Teste"
msgstr "Prueba"
)po";
    TestWindow window;
    QCOMPARE(LoadLanguage(file({po("es_ES", messages.constData())}), 3082), 1);
    try {
        TranslateComponent(&window);
        QFAIL("no error");
    } catch (const Error& error) {
        QCOMPARE(error.message(), message);
    }
    QCOMPARE(window.windowTitle(), QStringLiteral("Prueba"));
    QCOMPARE(window.LNome->text(), QStringLiteral("Nome"));
}

void TestTranslation::displayNames()
{
    // In Portuguese whatever the desktop's language.
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QCOMPARE(LanguageDisplayName(1046), QStringLiteral("português (Brasil)"));
    QCOMPARE(LanguageDisplayName(0x7777), QStringLiteral("<unknown>"));

    // The installed file's languages sort so that the built-in messages' indices 0, 1 and 2
    // name the same languages.
    QWidget window;
    auto* list = new ComboBox(QStringLiteral("CBIdiomas"), &window);
    list->setSorted(true);
    QCOMPARE(LoadLanguage(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), 1046, AdicionarIdioma,
                          &window),
             1);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(0), QStringLiteral("espanhol (Espanha)"));
    QCOMPARE(list->itemText(1), QStringLiteral("inglês (Estados Unidos)"));
    QCOMPARE(list->itemText(2), QStringLiteral("português (Brasil)"));
    QCOMPARE(list->itemData(0).toUInt(), 3082u);
    QCOMPARE(list->itemData(1).toUInt(), 1033u);
    QCOMPARE(list->itemData(2).toUInt(), 1046u);
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
