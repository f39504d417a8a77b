#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_CadLembretes.h"
#include "U_DM.h"
#include "U_Opcoes.h"
#include "db/Statement.h"
#include "platform/AppFolder.h"
#include "platform/Autostart.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"
#include "support/ModalProbe.h"
#include "support/ScreenReader.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// The options window on a fresh database, with the installed language file, skins of the
// test's own in the application folder and a configuration folder of its own.
class TestOpcoes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void designAndTranslation_data();
    void designAndTranslation();
    void trayMenuOpensItModally();
    void theSingleRowIsNeitherAddedToNorDeleted();
    void aLanguageSpeaksAtOnceInEveryWindow_data();
    void aLanguageSpeaksAtOnceInEveryWindow();
    void skinsAreListedWithNenhumAmongThem();
    void aPickedSkinShowsItsPreviewAndIsAppliedWhenSaved();
    void aLongSkinNameIsStoredCutAndThenMatchesNothing();
    void backspaceAppliesTheShownSkinUnlessItIsStored_data();
    void backspaceAppliesTheShownSkinUnlessItIsStored();
    void flagsShowTheirStoredValue_data();
    void flagsShowTheirStoredValue();
    void savingTheStartFlagWritesOrRemovesTheAutostartEntry();

private:
    // The window shown and active, as the tray menu leaves it.
    TFrmOpcoes* openWindow();
    // A key where the focus is, as a person presses it.
    void press(Qt::Key key);
    void writeSkin(const QString& fileName, const QByteArray& sheet);
    void writePreview(const QString& skin, const QSize& size);
    QVariant stored(const QString& column);

    std::unique_ptr<AgendaFixture> agenda_;
    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<TFrmAgenda> main_;
    std::unique_ptr<TFrmOpcoes> window_;
};

void TestOpcoes::init()
{
    config_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
    // Written in small letters: the window asks for "Skins", the data module for "skins".
    QVERIFY(QDir(applicationFolder()).mkpath(QStringLiteral("skins/images")));
    writeSkin(QStringLiteral("Marrom.skn"), "QWidget { color: #402000; }");
    writeSkin(QStringLiteral("oceano.skn"), "QWidget { color: #003060; }");
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), 2);
}

void TestOpcoes::cleanup()
{
    window_.reset();
    main_.reset();
    Application::destroyAdoptedWindows();
    DM->sd1.deactivate();
    UnloadLanguage();
    agenda_.reset();
    config_.reset();
}

TFrmOpcoes* TestOpcoes::openWindow()
{
    if (!main_)
        main_.reset(CreateForm<TFrmAgenda>()); // loads the language and lists the languages
    window_.reset(CreateForm<TFrmOpcoes>());
    Application::adopt(window_.get()); // as the opener does
    window_->show();
    window_->activateWindow();
    if (!QTest::qWaitForWindowActive(window_.get()))
        qWarning("the options window did not become active");
    return window_.get();
}

void TestOpcoes::writeSkin(const QString& fileName, const QByteArray& sheet)
{
    QFile file(applicationFolder() + QStringLiteral("/skins/") + fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(sheet);
}

void TestOpcoes::writePreview(const QString& skin, const QSize& size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QVERIFY(picture.save(applicationFolder() + QStringLiteral("/skins/images/") + skin +
                             QStringLiteral(".jpg"),
                         "JPG"));
}

void TestOpcoes::press(Qt::Key key)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : window_.get(), key);
}

QVariant TestOpcoes::stored(const QString& column)
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    Statement row(transaction, QStringLiteral("select %1 from TB_CONFIGURACOES").arg(column));
    row.execute();
    return row.fetchNext() ? row.value(0) : QVariant();
}

void TestOpcoes::designAndTranslation_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("texts"); // caption, group, the two flags, the first panel
    QTest::newRow("Spanish") << 0
                             << QStringList{"Opciones", "Configuración: ",
                                            "Ejecutar automáticamente al iniciar la sesión",
                                            "Iniciar minimizado", "F3 - Guardar"};
    QTest::newRow("English") << 1
                             << QStringList{"Options",
                                            "Settings: ", "Start automatically when I log in",
                                            "Start minimized", "F3 - Save"};
    QTest::newRow("Portuguese") << 2
                                << QStringList{"Opções", "Configurações: ",
                                               "Executar automaticamente ao iniciar o windows",
                                               "Iniciar minimizado", "F3 - Salvar"};
}

void TestOpcoes::designAndTranslation()
{
    QFETCH(int, language);
    QFETCH(QStringList, texts);
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), language);
    TFrmOpcoes* window = openWindow();

    QCOMPARE(
        (QStringList{window->windowTitle(), window->GroupBox1->title(), window->DBCheckBox1->text(),
                     window->DBCheckBox2->text(), window->StatusBar1->panel(0)->text()}),
        texts);
    QCOMPARE(window->size(), QSize(439, 300));
    QCOMPARE(window->StatusBar1->panelCount(), 4);
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             window->BNovo, window->BExcluir, window->BImprimir, window->BPrimeiro,
             window->BAnterior, window->BProximo, window->BUltimo})
        QVERIFY(hidden->isHidden());
    // The language list is the main window's, on the same language.
    QCOMPARE(window->CBIdiomas->count(), main_->CBIdiomas->count());
    QCOMPARE(window->CBIdiomas->currentIndex(), language);
    QCOMPARE(window->CBIdiomas->currentData(), main_->CBIdiomas->currentData());
    // Browsing: the settings wait for "Alterar".
    QVERIFY(!window->PFundo->isEnabled());
    press(Qt::Key_F4);
    QVERIFY(window->PFundo->isEnabled());
    QCOMPARE(unnamedControls(QAccessible::queryAccessibleInterface(window)), QStringList{});
    QCOMPARE(QApplication::focusWidget(), window->cbSkin);
    const QList<QWidget*> tabOrder{window->DBCheckBox1, window->DBCheckBox2, window->CBIdiomas};
    for (QWidget* next : tabOrder) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestOpcoes::trayMenuOpensItModally()
{
    BoxAnswerer answerer;
    main_.reset(CreateForm<TFrmAgenda>());
    main_->show();
    QVERIFY(opensModally<TFrmOpcoes>([&] { main_->Opes1->trigger(); }));
    QVERIFY(answerer.boxes().isEmpty());
}

void TestOpcoes::theSingleRowIsNeitherAddedToNorDeleted()
{
    BoxAnswerer answerer(QMessageBox::Yes);
    TFrmOpcoes* window = openWindow();
    for (const Qt::Key key : {Qt::Key_F2, Qt::Key_F6}) {
        press(key);
        QVERIFY(!window->dataSet()->isEditing());
        QCOMPARE(window->dataSet()->recordCount(), 1);
    }
    QVERIFY(answerer.boxes().isEmpty());
    QCOMPARE(stored(QStringLiteral("count(*)")).toInt(), 1);
}

void TestOpcoes::aLanguageSpeaksAtOnceInEveryWindow_data()
{
    QTest::addColumn<Qt::Key>("leave");
    QTest::addColumn<int>("storedIndex");
    QTest::newRow("saved") << Qt::Key_F3 << 1;
    QTest::newRow("cancelled") << Qt::Key_F5 << 2;
}

void TestOpcoes::aLanguageSpeaksAtOnceInEveryWindow()
{
    QFETCH(Qt::Key, leave);
    QFETCH(int, storedIndex);
    main_.reset(CreateForm<TFrmAgenda>());
    main_->show();
    // Another window of the program that is open meanwhile.
    auto* reminders = CreateForm<TFrmCadLembretes>();
    Application::adopt(reminders);
    reminders->show();
    TFrmOpcoes* window = openWindow();
    QCOMPARE(reminders->windowTitle(), QStringLiteral("Cadastro de Lembretes"));

    press(Qt::Key_F4);
    window->CBIdiomas->setFocus();
    QTest::keyClick(window->CBIdiomas, Qt::Key_Up); // from Portuguese to English
    QCOMPARE(window->CBIdiomas->currentIndex(), 1);

    QCOMPARE(window->windowTitle(), QStringLiteral("Options"));
    // The longer caption shows whole.
    QCOMPARE(window->Label1->text(), QStringLiteral("Language:"));
    QVERIFY(window->Label1->width() >= window->Label1->sizeHint().width());
    QCOMPARE(reminders->windowTitle(), QStringLiteral("Reminders"));
    QCOMPARE(main_->BNovo->text(), QStringLiteral("New"));
    QCOMPARE(main_->CBIdiomas->currentIndex(), 1);
    QCOMPARE(DM->languageIndex(), 1);

    press(leave);
    QVERIFY(!window->dataSet()->isEditing());
    // The language stays either way; the stored index, and the messages with it, follow the row.
    QCOMPARE(main_->BNovo->text(), QStringLiteral("New"));
    QCOMPARE(DM->languageIndex(), storedIndex);
    QCOMPARE(stored(QStringLiteral("CFG_IDIOMA")).toInt(), storedIndex);
}

void TestOpcoes::skinsAreListedWithNenhumAmongThem()
{
    // Any kind of entry named *.skn counts, whatever the case of its extension.
    writeSkin(QStringLiteral("Areia.SKN"), "");
    QVERIFY(QDir(applicationFolder()).mkpath(QStringLiteral("skins/Pasta.skn")));
    writeSkin(QStringLiteral("leia-me.txt"), "");
    TFrmOpcoes* window = openWindow();

    QStringList listed;
    for (int i = 0; i < window->cbSkin->count(); ++i)
        listed << window->cbSkin->itemText(i);
    QCOMPARE(listed, (QStringList{"Areia", "Marrom", "Nenhum", "oceano", "Pasta"}));
    // A fresh configuration row has no skin.
    QCOMPARE(window->cbSkin->currentText(), QStringLiteral("Nenhum"));
}

void TestOpcoes::aPickedSkinShowsItsPreviewAndIsAppliedWhenSaved()
{
    writePreview(QStringLiteral("Marrom"), QSize(40, 30));
    TFrmOpcoes* window = openWindow();
    press(Qt::Key_F4);
    window->cbSkin->setFocus();
    QTest::keyClicks(window->cbSkin, QStringLiteral("m")); // picked by its first letter
    QCOMPARE(window->cbSkin->currentText(), QStringLiteral("Marrom"));
    QCOMPARE(window->ImageSkin->size(), QSize(40, 30));
    QCOMPARE(window->dataSet()->fieldByName(QStringLiteral("CFG_SKIN")).asString(),
             QStringLiteral("Marrom"));
    QVERIFY(qApp->styleSheet().isEmpty());

    // "Nenhum" has no picture: the last one stays.
    press(Qt::Key_Down);
    QCOMPARE(window->cbSkin->currentText(), QStringLiteral("Nenhum"));
    QCOMPARE(window->ImageSkin->size(), QSize(40, 30));
    press(Qt::Key_Up);

    press(Qt::Key_F3);
    QCOMPARE(stored(QStringLiteral("CFG_SKIN")).toString(), QStringLiteral("Marrom"));
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QWidget { color: #402000; }"));
}

void TestOpcoes::aLongSkinNameIsStoredCutAndThenMatchesNothing()
{
    writeSkin(QStringLiteral("Primavera01.skn"), "QWidget { color: #204000; }");
    TFrmOpcoes* window = openWindow();
    press(Qt::Key_F4);
    window->cbSkin->setFocus();
    QTest::keyClicks(window->cbSkin, QStringLiteral("p"));
    QCOMPARE(window->cbSkin->currentText(), QStringLiteral("Primavera01"));
    press(Qt::Key_F3);
    QCOMPARE(stored(QStringLiteral("CFG_SKIN")).toString(), QStringLiteral("Primavera0"));

    window_.reset();
    QCOMPARE(openWindow()->cbSkin->currentIndex(), -1);
}

void TestOpcoes::backspaceAppliesTheShownSkinUnlessItIsStored_data()
{
    QTest::addColumn<QString>("storedSkin");
    QTest::addColumn<QString>("applied"); // the sheet in force afterwards
    QTest::newRow("the same text") << "oceano"
                                   << "";
    QTest::newRow("another case") << "OCEANO"
                                  << "QWidget { color: #003060; }";
}

void TestOpcoes::backspaceAppliesTheShownSkinUnlessItIsStored()
{
    QFETCH(QString, storedSkin);
    QFETCH(QString, applied);
    agenda_->setConfiguration(QStringLiteral("CFG_SKIN"), storedSkin);
    DM->sd1.deactivate();
    TFrmOpcoes* window = openWindow();
    QCOMPARE(window->cbSkin->currentText(), QStringLiteral("oceano"));

    press(Qt::Key_F4);
    window->cbSkin->setFocus();
    QTest::keyClick(window->cbSkin, Qt::Key_Backspace);
    QVERIFY(window->dataSet()->isEditing());
    QCOMPARE(window->cbSkin->currentText(), QStringLiteral("oceano"));
    QCOMPARE(qApp->styleSheet(), applied);
    QCOMPARE(DM->sd1.isActive(), !applied.isEmpty());
    // An applied skin stays in force when the row is cancelled.
    press(Qt::Key_F5);
    QCOMPARE(qApp->styleSheet(), applied);
    QCOMPARE(stored(QStringLiteral("CFG_SKIN")).toString(), storedSkin);
}

void TestOpcoes::flagsShowTheirStoredValue_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<Qt::CheckState>("shown");
    QTest::addColumn<QString>("afterClick");
    QTest::newRow("NULL") << QVariant() << Qt::PartiallyChecked << "S";
    QTest::newRow("S") << QVariant("S") << Qt::Checked << "N";
    QTest::newRow("s") << QVariant("s") << Qt::Checked << "N";
    QTest::newRow("N") << QVariant("N") << Qt::Unchecked << "S";
    QTest::newRow("X") << QVariant("X") << Qt::PartiallyChecked << "S";
}

void TestOpcoes::flagsShowTheirStoredValue()
{
    QFETCH(QVariant, value);
    QFETCH(Qt::CheckState, shown);
    QFETCH(QString, afterClick);
    agenda_->setConfiguration(QStringLiteral("CFG_STARTMINIMIZADO"), value);
    TFrmOpcoes* window = openWindow();
    QCOMPARE(window->DBCheckBox2->checkState(), shown);

    press(Qt::Key_F4);
    QTest::mouseClick(window->DBCheckBox2, Qt::LeftButton);
    press(Qt::Key_F3);
    QCOMPARE(stored(QStringLiteral("CFG_STARTMINIMIZADO")).toString(), afterClick);
}

void TestOpcoes::savingTheStartFlagWritesOrRemovesTheAutostartEntry()
{
    const QString entry = Autostart::entryFileName(QStringLiteral("Tarvo Agenda"));
    agenda_->setConfiguration(QStringLiteral("CFG_STARTWINDOWS"), QStringLiteral("N"));
    TFrmOpcoes* window = openWindow();
    QVERIFY(!QFile::exists(entry));

    press(Qt::Key_F4);
    QTest::mouseClick(window->DBCheckBox1, Qt::LeftButton);
    QVERIFY(!QFile::exists(entry)); // not before the row is saved
    press(Qt::Key_F3);
    QVERIFY(QFile::exists(entry));

    press(Qt::Key_F4);
    QTest::mouseClick(window->DBCheckBox1, Qt::LeftButton);
    press(Qt::Key_F3);
    QCOMPARE(stored(QStringLiteral("CFG_STARTWINDOWS")).toString(), QStringLiteral("N"));
    QVERIFY(!QFile::exists(entry));
}

TARVO_APPLICATION_TEST_MAIN(TestOpcoes)
#include "tst_opcoes.moc"
