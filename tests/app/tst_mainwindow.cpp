#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_Aniversariantes.h"
#include "U_CadLembretes.h"
#include "U_DM.h"
#include "U_Mensagens.h"
#include "db/Statement.h"
#include "platform/ResourceStrings.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"
#include "support/ScreenReader.h"

#include <QAccessible>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>

#include <cmath>
#include <memory>

using Steps = std::function<void(TFrmAgenda&)>;
Q_DECLARE_METATYPE(Steps)

// The main window on a fresh database with the installed language file beside the program.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void search_data();
    void search();
    void searchForACharacterTheDatabaseCannotHoldFindsNothing();
    void keysAPersonExpects();
    void browsedValuesAreReadable();
    void aScreenReaderCanNameEveryControl();
    void aSearchTellsTheGridOnceAndReadsOneScreen();
    void theGridShowsEachSearchsRows();
    void cancellingANewRowTouchesNoOtherRow_data();
    void cancellingANewRowTouchesNoOtherRow();
    void refusedPostKeepsTheTextAndFocusesItsField_data();
    void refusedPostKeepsTheTextAndFocusesItsField();
    void searchDuringAnEditAsksFirst_data();
    void searchDuringAnEditAsksFirst();
    void newOrEditedRowTakesTheFocusToTheForm_data();
    void newOrEditedRowTakesTheFocusToTheForm();
    void contactsAreAddedChangedAndDeletedByKey();
    void lastSearchSurvivesHideAndShow();
    void creationLanguage_data();
    void creationLanguage();
    void withoutLanguageFileTheWindowOpensUntranslated();
    void birthdayWindowOpensOncePerRun_data();
    void birthdayWindowOpensOncePerRun();
    void trayEventsAndMenuItems_data();
    void trayEventsAndMenuItems();
    void closeHides();
    void trayAnswersWhileAModalWindowIsUp();
    void startHiddenSetting_data();
    void startHiddenSetting();
    void startHideWaitsForTheBirthdayWindow();
    void printButtonOpensItsMenuLater();
    // Last: once the program has been told to end, no event loop of this process runs again.
    void fecharEndsWithoutAQuestion();

private:
    void addContact(const QString& name, const QVariant& city, const QVariant& phone,
                    const QVariant& mobile, const QVariant& birth = {});
    TFrmAgenda* createWindow();
    // The window shown and active, so that keys go where a person's keys go.
    TFrmAgenda* showActiveWindow();
    QStringList listedNames();
    // The names the database holds, read through another attachment.
    QStringList storedNames();

    std::unique_ptr<AgendaFixture> agenda_;
    std::unique_ptr<TFrmAgenda> window_;
    int contacts_ = 0;
};

void TestMainWindow::initTestCase()
{
    // The language list names its languages in Portuguese whatever the desktop's language, so
    // they sort as Spanish, English, Portuguese on an English desktop too.
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
}

void TestMainWindow::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
    contacts_ = 0;
}

void TestMainWindow::cleanup()
{
    window_.reset();
    Application::destroyAdoptedWindows();
    UnloadLanguage();
    agenda_.reset();
}

void TestMainWindow::addContact(const QString& name, const QVariant& city, const QVariant& phone,
                                const QVariant& mobile, const QVariant& birth)
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    Statement insert(transaction,
                     QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME, AGE_CIDADE, "
                                    "AGE_TELEFONE, AGE_CELULAR, AGE_DATANASC) values (:K, :N, "
                                    ":C, :F, :M, :D)"));
    insert.setParameter(QStringLiteral("K"), ++contacts_);
    insert.setParameter(QStringLiteral("N"), name);
    insert.setParameter(QStringLiteral("C"), city);
    insert.setParameter(QStringLiteral("F"), phone);
    insert.setParameter(QStringLiteral("M"), mobile);
    insert.setParameter(QStringLiteral("D"), birth);
    insert.execute();
    transaction.commit();
}

TFrmAgenda* TestMainWindow::createWindow()
{
    window_.reset(CreateForm<TFrmAgenda>());
    return window_.get();
}

TFrmAgenda* TestMainWindow::showActiveWindow()
{
    TFrmAgenda* window = createWindow();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("the main window did not become active");
    return window;
}

QStringList TestMainWindow::storedNames()
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    Statement names(transaction, QStringLiteral("select AGE_NOME from TB_AGENDA order by 1"));
    names.execute();
    QStringList rows;
    while (names.fetchNext())
        rows << names.value(0).toString();
    return rows;
}

QStringList TestMainWindow::listedNames()
{
    DataSet& contacts = agenda_->dm().Q_Agenda;
    QStringList names;
    if (!contacts.isActive())
        return names;
    contacts.fetchAll();
    const int name = contacts.fieldByName(QStringLiteral("AGE_NOME")).index();
    for (int row = 0; row < contacts.recordCount(); ++row)
        names << contacts.value(row, name).toString();
    names.sort();
    return names;
}

void TestMainWindow::search_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("names");

    const QString ana = QStringLiteral("Ana D'Ávila");
    const QString jose = QStringLiteral("José da Silva");
    const QString silvas = QStringLiteral("SILVAS");
    const QString zeca = QStringLiteral("Zeca 100%");
    QTest::newRow("empty, Nome") << 0 << ""
                                 << "" << QStringList{ana, jose, silvas, zeca};
    QTest::newRow("empty, Cidade") << 1 << ""
                                   << "" << QStringList{ana, jose};
    QTest::newRow("empty, Fone") << 2 << ""
                                 << "" << QStringList{jose, zeca};
    QTest::newRow("empty, Celular") << 3 << ""
                                    << "" << QStringList{silvas};
    QTest::newRow("lower case shown in capitals") << 0 << "silva"
                                                  << "SILVA" << QStringList{jose, silvas};
    QTest::newRow("accents ignored") << 0 << "jose"
                                     << "JOSE" << QStringList{jose};
    QTest::newRow("apostrophe in a name") << 0 << "d'"
                                          << "D'" << QStringList{ana};
    QTest::newRow("apostrophe cannot change the statement") << 0 << "x' or '1'='1"
                                                            << "X' OR '1'='1" << QStringList{};
    QTest::newRow("percent matches any run") << 0 << "a%vila"
                                             << "A%VILA" << QStringList{ana};
    QTest::newRow("underscore matches one character") << 0 << "s_lva"
                                                      << "S_LVA" << QStringList{jose, silvas};
    QTest::newRow("city") << 1 << "paulo"
                          << "PAULO" << QStringList{jose};
    QTest::newRow("phone") << 2 << "22"
                           << "22" << QStringList{zeca};
}

void TestMainWindow::search()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QStringList, names);

    addContact(QStringLiteral("José da Silva"), QStringLiteral("São Paulo"), QStringLiteral("1111"),
               {});
    addContact(QStringLiteral("SILVAS"), {}, {}, QStringLiteral("9999"));
    addContact(QStringLiteral("Ana D'Ávila"), QStringLiteral("Rio"), {}, {});
    addContact(QStringLiteral("Zeca 100%"), {}, QStringLiteral("2222"), {});

    BoxAnswerer answerer;
    TFrmAgenda* window = createWindow();
    window->show();
    window->RGLocalizar->button(column)->click();
    QTest::keyClicks(window->EdPesquisa, typed);

    QCOMPARE(window->EdPesquisa->text(), shown);
    QCOMPARE(listedNames(), names);
    QVERIFY(answerer.boxes().isEmpty());
    QVERIFY(agenda_->dm().Q_Agenda.sql().startsWith(
        QStringLiteral("Select * from tb_Agenda where \n")));
}

namespace {

// Keys and text go where a person's would: to the control with the focus, once the window
// is active again after a message box.
QWidget* focused()
{
    if (!QApplication::focusWidget() && FrmAgenda && FrmAgenda->isVisible()) {
        FrmAgenda->activateWindow();
        if (!QTest::qWaitForWindowActive(FrmAgenda))
            qWarning("the main window did not become active again");
    }
    return QApplication::focusWidget();
}

void press(Qt::Key key)
{
    QTest::keyClick(focused(), key);
}

void type(const QString& text)
{
    QTest::keyClicks(focused(), text);
}

// Pasted, as text a keyboard cannot type arrives.
void paste(QWidget* control, const QString& text)
{
    control->setFocus();
    QGuiApplication::clipboard()->setText(text);
    QMetaObject::invokeMethod(control, "paste");
}

void clickRow(DBGrid* grid, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

Steps keys(std::initializer_list<Qt::Key> list)
{
    const std::vector<Qt::Key> sequence(list);
    return [sequence](TFrmAgenda&) {
        for (Qt::Key key : sequence)
            press(key);
    };
}

Steps then(Steps first, Steps second)
{
    return [first, second](TFrmAgenda& w) {
        first(w);
        second(w);
    };
}

} // namespace

void TestMainWindow::searchForACharacterTheDatabaseCannotHoldFindsNothing()
{
    addContact(QStringLiteral("Quem?"), {}, {}, {});
    BoxAnswerer answerer;
    TFrmAgenda* window = createWindow();
    window->show();
    // Sent to the database, the character would become "?".
    window->EdPesquisa->setText(QStringLiteral("张"));
    QCOMPARE(listedNames(), QStringList{});
    QVERIFY(answerer.boxes().isEmpty());
    window->EdPesquisa->setText(QStringLiteral("?"));
    QCOMPARE(listedNames(), QStringList{QStringLiteral("Quem?")});
}

void TestMainWindow::aSearchTellsTheGridOnceAndReadsOneScreen()
{
    for (int i = 0; i < 200; ++i)
        addContact(QStringLiteral("Silva %1").arg(i, 3, 10, QLatin1Char('0')), {}, {}, {});
    TFrmAgenda* window = showActiveWindow();
    QAbstractItemModel* rows = window->DBGrid1->model();
    QSignalSpy resets(rows, &QAbstractItemModel::modelReset);
    QSignalSpy changes(rows, &QAbstractItemModel::dataChanged);
    QSignalSpy inserts(rows, &QAbstractItemModel::rowsInserted);
    QSignalSpy removals(rows, &QAbstractItemModel::rowsRemoved);
    QSignalSpy states(&agenda_->dm().Q_Agenda, &DataSet::stateChanged);
    QTest::keyClicks(window->EdPesquisa, QStringLiteral("s"));
    QTest::qWait(50); // the grid's own fetching, had it any to do

    // The new rows take the old ones' place in one notice, without a reset.
    QCOMPARE(resets.count(), 0);
    QCOMPARE(changes.count(), 1);
    QVERIFY(inserts.count() + removals.count() <= 1);
    QCOMPARE(states.count(), 0);
    const int screen = window->DBGrid1->rowsPerScreen();
    QVERIFY2(agenda_->dm().Q_Agenda.recordCount() <= 2 * screen,
             qPrintable(QString::number(agenda_->dm().Q_Agenda.recordCount())));
    QVERIFY(agenda_->dm().Q_Agenda.recordCount() >= screen - 1);
    QCOMPARE(window->DBNome->text(), QStringLiteral("Silva 000"));
}

// What the grid paints, searching narrower and wider from a grid scrolled to its end: the
// matching rows from the first, as many as fit, the first one current, nothing left of an
// earlier search.
void TestMainWindow::theGridShowsEachSearchsRows()
{
    QStringList all;
    for (int i = 0; i < 40; ++i) {
        all << QStringLiteral("Nome %1").arg(i, 2, 10, QLatin1Char('0'));
        addContact(all.last(), {}, {}, {});
    }
    addContact(QStringLiteral("Único"), {}, {}, {});
    TFrmAgenda* window = showActiveWindow();
    DBGrid* grid = window->DBGrid1;
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_End);
    QCOMPARE(window->DBNome->text(), QStringLiteral("Único"));

    // What the screen holds, the row indicator's column included, is what a fresh paint of
    // the grid draws.
    const auto screenShowsAFreshPaint = [window, grid] {
        const QRect area(grid->mapTo(window, QPoint(0, 0)), grid->size());
        const QImage screen =
            window->screen()
                ->grabWindow(window->winId(), area.x(), area.y(), area.width(), area.height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        return screen == grid->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const int nameColumn = 0;
    // Rows whose top is in the viewport, the last one perhaps cut.
    const int fit = (grid->viewport()->height() + grid->rowHeight(0) - 1) / grid->rowHeight(0);
    const auto shownRows = [grid, nameColumn] {
        QStringList names;
        const QAbstractItemModel* rows = grid->model();
        for (int row = std::max(0, grid->rowAt(0)); row < rows->rowCount(); ++row) {
            if (grid->rowViewportPosition(row) >= grid->viewport()->height())
                break;
            names << rows->index(row, nameColumn).data().toString();
        }
        return names;
    };
    const struct
    {
        const char* typed;
        QStringList matches;
    } searches[] = {
        {"1", all.filter(QStringLiteral("1"))},
        {"", all + QStringList{QStringLiteral("Único")}},
        {"x", {}},
        {"nic", {QStringLiteral("Único")}},
    };
    DataSet& contacts = agenda_->dm().Q_Agenda;
    for (const auto& search : searches) {
        window->EdPesquisa->clear();
        QTest::keyClicks(window->EdPesquisa, QString::fromUtf8(search.typed));
        QTest::qWait(20);

        const QStringList shown = shownRows();
        QCOMPARE(shown.size(), std::min<int>(fit, search.matches.size()));
        const int name = contacts.fieldByName(QStringLiteral("AGE_NOME")).index();
        for (int row = 0; row < shown.size(); ++row) {
            QVERIFY2(search.matches.contains(shown[row]), qPrintable(shown[row]));
            QCOMPARE(shown[row], contacts.value(row, name).toString());
        }
        QCOMPARE(window->DBNome->text(), shown.value(0));
        QCOMPARE(grid->currentIndex().row(), shown.isEmpty() ? -1 : 0);
        QCOMPARE(grid->model()->rowCount(), contacts.recordCount());
        QVERIFY(screenShowsAFreshPaint());
    }
    // The row indicator's mark follows the current row.
    grid->setFocus();
    for (int move = 0; move < 3; ++move) {
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::qWait(20);
        QVERIFY(screenShowsAFreshPaint());
    }
}

void TestMainWindow::keysAPersonExpects()
{
    for (const char* name : {"Ana", "Bia", "Caio", "Dora", "Edu"})
        addContact(QString::fromLatin1(name), {}, {}, {});
    TFrmAgenda* window = showActiveWindow();
    DataSet& contacts = agenda_->dm().Q_Agenda;
    QCOMPARE(QApplication::focusWidget(), window->EdPesquisa);

    // The search box moves the grid, and keeps its text.
    const auto inSearch = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(window->EdPesquisa, key, modifiers);
        return contacts.fieldByName(QStringLiteral("AGE_NOME")).asString();
    };
    QCOMPARE(inSearch(Qt::Key_Down), QStringLiteral("Bia"));
    QCOMPARE(inSearch(Qt::Key_End, Qt::ControlModifier), QStringLiteral("Edu"));
    QCOMPARE(inSearch(Qt::Key_Up), QStringLiteral("Dora"));
    QCOMPARE(inSearch(Qt::Key_Home, Qt::ControlModifier), QStringLiteral("Ana"));
    QCOMPARE(window->EdPesquisa->text(), QString());
    QCOMPARE(window->DBGrid1->currentIndex().row(), contacts.currentIndex());

    // In the grid, End and Home reach the last and the first row.
    window->DBGrid1->setFocus();
    QTest::keyClick(window->DBGrid1, Qt::Key_End);
    QCOMPARE(contacts.currentIndex(), 4);
    QTest::keyClick(window->DBGrid1, Qt::Key_Home);
    QCOMPARE(contacts.currentIndex(), 0);

    // Tab leaves the note instead of typing a tab into it.
    QTest::keyClick(window->DBGrid1, Qt::Key_F4);
    window->DBMemo1->setFocus();
    QTest::keyClick(window->DBMemo1, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != window->DBMemo1);
    QCOMPARE(window->DBMemo1->toPlainText(), QString());

    for (Button* button :
         {window->BNovo, window->BGravar, window->BAlterar, window->BCancelar, window->BExcluir,
          window->BImprimir, window->BPrimeiro, window->BUltimo, window->BSair, window->PNGOpcoes})
        QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
}

namespace {

double luminance(const QColor& colour)
{
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double lighter = std::max(luminance(a), luminance(b));
    const double darker = std::min(luminance(a), luminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

} // namespace

void TestMainWindow::browsedValuesAreReadable()
{
    addContact(QStringLiteral("Zeca"), {}, {}, {});
    TFrmAgenda* window = showActiveWindow();
    QVERIFY(!window->DBNome->isEnabled());
    const QPalette edit = window->DBNome->palette();
    QVERIFY(contrast(edit.color(QPalette::Disabled, QPalette::Text),
                     edit.color(QPalette::Disabled, QPalette::Base)) >= 4.5);
    const QPalette caption = window->GroupBox4->findChild<QLabel*>()->palette();
    QVERIFY(contrast(caption.color(QPalette::Disabled, QPalette::WindowText),
                     caption.color(QPalette::Disabled, QPalette::Window)) >= 4.5);
}

void TestMainWindow::aScreenReaderCanNameEveryControl()
{
    for (int language : {0, 1, 2}) {
        // Each language's window, its labels in that language.
        agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), language);
        TFrmAgenda* window = showActiveWindow();
        QAccessibleInterface* main = QAccessible::queryAccessibleInterface(window);
        QCOMPARE(main->role(), QAccessible::Window);
        QCOMPARE(unnamedControls(main), QStringList{});
        QVERIFY(QAccessible::queryAccessibleInterface(window->CBIdiomas)->state().invisible);
        QCOMPARE(QAccessible::queryAccessibleInterface(window->PNGOpcoes)->text(QAccessible::Name),
                 window->PNGOpcoes->toolTip());

        std::unique_ptr<TFrmAniversariantes> birthdays(CreateForm<TFrmAniversariantes>());
        birthdays->show();
        std::unique_ptr<TFrmCadLembretes> reminders(CreateForm<TFrmCadLembretes>());
        reminders->show();
        QAccessibleInterface* reminderList = QAccessible::queryAccessibleInterface(reminders.get());
        QCOMPARE(reminderList->role(), QAccessible::Window);
        QCOMPARE(unnamedControls(reminderList), QStringList{});
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(birthdays.get());
        QCOMPARE(list->role(), QAccessible::Window);
        QCOMPARE(unnamedControls(list), QStringList{});
        QVERIFY(
            QAccessible::queryAccessibleInterface(birthdays->DTDataInicio)
                ->text(QAccessible::Name) !=
            QAccessible::queryAccessibleInterface(birthdays->DTDataFim)->text(QAccessible::Name));
    }
}

void TestMainWindow::cancellingANewRowTouchesNoOtherRow_data()
{
    QTest::addColumn<int>("contacts");
    QTest::addColumn<int>("startRow");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("current"); // the contact current afterwards

    const Steps newNamed = [](TFrmAgenda&) {
        press(Qt::Key_F2);
        type(QStringLiteral("Ze"));
    };
    const Steps badDate = then(newNamed, [](TFrmAgenda& w) {
        w.DBEdit10->setFocus();
        press(Qt::Key_Home);
        type(QStringLiteral("31022026"));
    });
    const int none = QMessageBox::NoButton;
    QTest::newRow("F2, a name, F5")
        << 3 << 1 << then(newNamed, keys({Qt::Key_F5})) << none << "Bia";
    QTest::newRow("F2, a name, Cancelar")
        << 3 << 1 << then(newNamed, [](TFrmAgenda& w) { w.BCancelar->click(); }) << none << "Bia";
    QTest::newRow("F2, a name, Esc answered No")
        << 3 << 1 << then(newNamed, keys({Qt::Key_Escape})) << int(QMessageBox::No) << "Bia";
    QTest::newRow("F2, a name, F6 answered Yes")
        << 3 << 1 << then(newNamed, keys({Qt::Key_F6})) << int(QMessageBox::Yes) << "Bia";
    QTest::newRow("F2, F2, F5") << 3 << 1 << keys({Qt::Key_F2, Qt::Key_F2, Qt::Key_F5}) << none
                                << "Bia";
    QTest::newRow("F2, F5, twice")
        << 3 << 1 << keys({Qt::Key_F2, Qt::Key_F5, Qt::Key_F2, Qt::Key_F5}) << none << "Bia";
    QTest::newRow("F2 on the last row, F5")
        << 3 << 2 << keys({Qt::Key_F2, Qt::Key_F5}) << none << "Caio";
    QTest::newRow("F2, F5 on an empty list")
        << 0 << 0 << keys({Qt::Key_F2, Qt::Key_F5}) << none << "";
    QTest::newRow("a bad date, F5 repeated")
        << 3 << 1 << then(badDate, keys({Qt::Key_F5, Qt::Key_F5, Qt::Key_F5})) << none << "Bia";
}

void TestMainWindow::cancellingANewRowTouchesNoOtherRow()
{
    QFETCH(int, contacts);
    QFETCH(int, startRow);
    QFETCH(Steps, steps);
    QFETCH(int, answer);
    QFETCH(QString, current);

    const QStringList names = QStringList{"Ana", "Bia", "Caio"}.mid(0, contacts);
    for (const QString& name : names)
        addContact(name, {}, {}, {});
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), 2);
    BoxAnswerer answerer{QMessageBox::StandardButton(answer)};
    TFrmAgenda* window = showActiveWindow();
    DataSet& ds = agenda_->dm().Q_Agenda;
    // The grid fetches the rows it shows once the window is up.
    QTRY_COMPARE(window->DBGrid1->model()->rowCount(), contacts);
    if (contacts > 0) {
        clickRow(window->DBGrid1, startRow);
        QCOMPARE(ds.currentIndex(), startRow);
    }

    steps(*window);

    QCOMPARE(storedNames(), names);
    QCOMPARE(ds.state(), DataSet::State::Browse);
    QCOMPARE(ds.recordCount(), contacts);
    QCOMPARE(window->DBGrid1->model()->rowCount(), contacts);
    QCOMPARE(window->DBGrid1->currentIndex().row(), ds.currentIndex());
    QCOMPARE(ds.fieldByName(QStringLiteral("AGE_NOME")).asString(), current);
    QCOMPARE(window->DBNome->text(), current);
    QCOMPARE(window->BPrimeiro->isEnabled(), ds.currentIndex() > 0);
    QCOMPARE(answerer.boxes().size(), answer == QMessageBox::NoButton ? 0 : 1);
}

void TestMainWindow::refusedPostKeepsTheTextAndFocusesItsField_data()
{
    QTest::addColumn<Steps>("fill");
    QTest::addColumn<int>("message"); // a resource string, 0 when the contact is saved
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text"); // the control's text afterwards

    const auto name = [](const QString& text) {
        return Steps([text](TFrmAgenda& w) { paste(w.DBNome, text); });
    };
    const Steps phone = [](TFrmAgenda& w) {
        w.DBEdit9->setFocus();
        type(QStringLiteral("1234"));
    };
    const QString zhang = QStringLiteral("ZHANG 张伟 😀 ZOË");
    const QString nul = QStringLiteral("Zé") + QChar(0) + QStringLiteral("Ninguém");
    const QStringList nameField{QStringLiteral("AGE_NOME")};
    using RS = ResourceStrings::Id;

    QTest::newRow("no name") << phone << int(RS::FieldRequired) << nameField << "DBNome"
                             << "";
    QTest::newRow("a name of blanks") << then(name(QStringLiteral("   ")), phone)
                                      << int(RS::FieldRequired) << nameField << "DBNome"
                                      << "";
    QTest::newRow("an impossible date")
        << then(name(QStringLiteral("Zeca")),
                [](TFrmAgenda& w) {
                    w.DBEdit10->setFocus();
                    press(Qt::Key_Home);
                    type(QStringLiteral("31022026"));
                    w.DBEdit4->setFocus();
                })
        << int(RS::InvalidFieldDate)
        << QStringList{QStringLiteral("AGE_DATANASC"), QStringLiteral("31/02/2026")} << "DBEdit10"
        << "31/02/2026";
    QTest::newRow("characters outside Windows-1252")
        << name(zhang) << int(RS::CharacterNotStorable)
        << QStringList{QStringLiteral("AGE_NOME"), QStringLiteral("'张' (U+5F20)")} << "DBNome"
        << zhang;
    QTest::newRow("a NUL in a name")
        << name(nul) << int(RS::CharacterNotStorable)
        << QStringList{QStringLiteral("AGE_NOME"), QStringLiteral("U+0000")} << "DBNome" << nul;
    QTest::newRow("an emoji in a note")
        << then(name(QStringLiteral("Zeca")),
                [](TFrmAgenda& w) { paste(w.DBMemo1, QStringLiteral("bom 😀")); })
        << int(RS::CharacterNotStorable)
        << QStringList{QStringLiteral("AGE_OBS"), QStringLiteral("'😀' (U+1F600)")} << "DBMemo1"
        << "bom 😀";
    QTest::newRow("a note keeps its line breaks")
        << then(name(QStringLiteral("Zoë")),
                [](TFrmAgenda& w) { paste(w.DBMemo1, QStringLiteral("linha 1\nlinha 2")); })
        << 0 << QStringList{} << "DBMemo1"
        << "linha 1\nlinha 2";
}

void TestMainWindow::refusedPostKeepsTheTextAndFocusesItsField()
{
    QFETCH(Steps, fill);
    QFETCH(int, message);
    QFETCH(QStringList, arguments);
    QFETCH(QString, control);
    QFETCH(QString, text);

    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), -1); // Portuguese, no questions
    BoxAnswerer answerer;
    TFrmAgenda* window = showActiveWindow();
    press(Qt::Key_F2);
    fill(*window);
    press(Qt::Key_F3);

    auto* shown = window->findChild<QWidget*>(control);
    QVERIFY(shown);
    const QString shownText = qobject_cast<QLineEdit*>(shown)
                                  ? qobject_cast<QLineEdit*>(shown)->text()
                                  : qobject_cast<QPlainTextEdit*>(shown)->toPlainText();
    QCOMPARE(shownText, text);
    if (message == 0) {
        QVERIFY(answerer.boxes().isEmpty());
        QCOMPARE(agenda_->dm().Q_Agenda.state(), DataSet::State::Browse);
        QCOMPARE(storedNames(), QStringList{QStringLiteral("Zoë")});
        return;
    }
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes().first().text, ResourceStrings::format(message, arguments));
    QCOMPARE(window->focusWidget(), shown);
    QCOMPARE(agenda_->dm().Q_Agenda.state(), DataSet::State::Insert);
    QCOMPARE(storedNames(), QStringList{});
    // Corrected, the same row saves.
    window->DBNome->selectAll();
    paste(window->DBNome, QStringLiteral("Zeca"));
    if (control == QLatin1String("DBEdit10")) {
        window->DBEdit10->setFocus();
        press(Qt::Key_Home);
        type(QStringLiteral("30012026"));
    }
    if (control == QLatin1String("DBMemo1")) {
        window->DBMemo1->selectAll();
        paste(window->DBMemo1, QStringLiteral("bom"));
    }
    press(Qt::Key_F3);
    QCOMPARE(storedNames(), QStringList{QStringLiteral("Zeca")});
}

void TestMainWindow::searchDuringAnEditAsksFirst_data()
{
    QTest::addColumn<Steps>("change");
    QTest::addColumn<Steps>("search");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("editing");

    const Steps appendMaria = [](TFrmAgenda&) {
        press(Qt::Key_End);
        type(QStringLiteral(" Maria"));
    };
    const Steps clearName = [](TFrmAgenda& w) {
        w.DBNome->selectAll();
        press(Qt::Key_Delete);
    };
    const Steps nothing = [](TFrmAgenda&) {};
    const Steps typeZ = [](TFrmAgenda& w) {
        w.EdPesquisa->setFocus();
        type(QStringLiteral("z"));
    };
    const Steps chooseCity = [](TFrmAgenda& w) { w.RGLocalizar->button(1)->click(); };
    const QStringList unchanged{QStringLiteral("Ana"), QStringLiteral("Zeca")};

    QTest::newRow("Yes saves, then searches")
        << appendMaria << typeZ << int(QMessageBox::Yes) << 1
        << QStringList{QStringLiteral("Ana Maria"), QStringLiteral("Zeca")} << "Z" << 0 << false;
    QTest::newRow("No drops, then searches")
        << appendMaria << typeZ << int(QMessageBox::No) << 1 << unchanged << "Z" << 0 << false;
    QTest::newRow("Cancel keeps editing")
        << appendMaria << typeZ << int(QMessageBox::Cancel) << 1 << unchanged << "" << 0 << true;
    QTest::newRow("Cancel keeps the column")
        << appendMaria << chooseCity << int(QMessageBox::Cancel) << 1 << unchanged << "" << 0
        << true;
    QTest::newRow("Yes with a refused save keeps editing")
        << clearName << typeZ << int(QMessageBox::Yes) << 2 << unchanged << "" << 0 << true;
    QTest::newRow("no change, no question")
        << nothing << typeZ << int(QMessageBox::Yes) << 0 << unchanged << "Z" << 0 << false;
}

void TestMainWindow::searchDuringAnEditAsksFirst()
{
    QFETCH(Steps, change);
    QFETCH(Steps, search);
    QFETCH(int, answer);
    QFETCH(int, boxes);
    QFETCH(QStringList, stored);
    QFETCH(QString, searchText);
    QFETCH(int, column);
    QFETCH(bool, editing);

    addContact(QStringLiteral("Ana"), {}, {}, {});
    addContact(QStringLiteral("Zeca"), {}, {}, {});
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), 2);
    BoxAnswerer answerer{QMessageBox::StandardButton(answer)};
    TFrmAgenda* window = showActiveWindow();
    press(Qt::Key_F4);
    change(*window);
    const QString typedName = window->DBNome->text();
    search(*window);

    QCOMPARE(answerer.boxes().size(), boxes);
    if (!answerer.boxes().isEmpty())
        QCOMPARE(answerer.boxes().first().text, QStringLiteral("Deseja salvar as alterações?"));
    QCOMPARE(storedNames(), stored);
    QCOMPARE(window->EdPesquisa->text(), searchText);
    QCOMPARE(window->RGLocalizar->itemIndex(), column);
    QCOMPARE(agenda_->dm().Q_Agenda.isEditing(), editing);
    if (editing) {
        // Nothing typed is lost: the row and its input are as they were.
        QCOMPARE(window->DBNome->text(), typedName);
        QCOMPARE(window->focusWidget(), window->DBNome);
    }
}

void TestMainWindow::newOrEditedRowTakesTheFocusToTheForm_data()
{
    QTest::addColumn<int>("contacts");
    QTest::addColumn<Steps>("start");

    QTest::newRow("F2") << 1 << keys({Qt::Key_F2});
    QTest::newRow("F4") << 1 << keys({Qt::Key_F4});
    QTest::newRow("F4 on an empty list") << 0 << keys({Qt::Key_F4});
    QTest::newRow("Novo") << 1 << Steps([](TFrmAgenda& w) { w.BNovo->click(); });
    QTest::newRow("Alterar") << 1 << Steps([](TFrmAgenda& w) { w.BAlterar->click(); });
}

void TestMainWindow::newOrEditedRowTakesTheFocusToTheForm()
{
    QFETCH(int, contacts);
    QFETCH(Steps, start);

    if (contacts > 0)
        addContact(QStringLiteral("Zeca"), {}, {}, {});
    TFrmAgenda* window = showActiveWindow();
    QCOMPARE(QApplication::focusWidget(), window->EdPesquisa);
    start(*window);
    QVERIFY(agenda_->dm().Q_Agenda.isEditing());
    QCOMPARE(QApplication::focusWidget(), window->DBNome);
    const QString before = window->DBNome->text();
    type(QStringLiteral("x"));
    QCOMPARE(window->DBNome->text(), before + u'x');
    QCOMPARE(window->EdPesquisa->text(), QString());
}

void TestMainWindow::contactsAreAddedChangedAndDeletedByKey()
{
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), -1); // Portuguese, and no questions
    BoxAnswerer answerer;
    TFrmAgenda* window = createWindow();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    const auto stored = [this] {
        Connection connection(agenda_->database().path());
        connection.open();
        Transaction transaction(connection);
        Statement names(transaction,
                        QStringLiteral("select AGE_NOME, AGE_EMAIL from TB_AGENDA order by 1"));
        names.execute();
        QStringList rows;
        while (names.fetchNext())
            rows << names.value(0).toString() + u'|' + names.value(1).toString();
        return rows;
    };

    // Keys go where the user's keys go: to the control with the focus.
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    press(Qt::Key_F2);
    window->DBNome->setFocus();
    QTest::keyClicks(window->DBNome, QStringLiteral("Zeca"));
    window->DBEdit13->setFocus();
    QTest::keyClicks(window->DBEdit13, QStringLiteral("ZECA@MAIL"));
    press(Qt::Key_F3);
    QCOMPARE(stored(), QStringList{QStringLiteral("Zeca|zeca@mail")});

    press(Qt::Key_F4);
    window->DBNome->setFocus();
    QTest::keyClick(window->DBNome, Qt::Key_End);
    QTest::keyClicks(window->DBNome, QStringLiteral(" Pagodinho"));
    press(Qt::Key_F3);
    QCOMPARE(stored(), QStringList{QStringLiteral("Zeca Pagodinho|zeca@mail")});

    press(Qt::Key_F6);
    QCOMPARE(stored(), QStringList{});
    QVERIFY(answerer.boxes().isEmpty());
}

void TestMainWindow::lastSearchSurvivesHideAndShow()
{
    addContact(QStringLiteral("Zeca"), {}, {}, {});
    addContact(QStringLiteral("Alberto"), {}, {}, {});
    TFrmAgenda* window = createWindow();
    window->show();
    QCOMPARE(listedNames().size(), 2);
    QTest::keyClicks(window->EdPesquisa, QStringLiteral("ze"));
    window->hide();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(listedNames(), QStringList{QStringLiteral("Zeca")});
    QCOMPARE(QApplication::focusWidget(), window->EdPesquisa);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(window->frameGeometry().center().x(), screen.center().x());
}

void TestMainWindow::creationLanguage_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<int>("selected");
    QTest::addColumn<uint>("loaded"); // 0: none
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("error");

    QTest::newRow("NULL takes the first entry") << QVariant() << 0 << 3082u << "Agenda Telefónica"
                                                << "";
    QTest::newRow("negative takes Portuguese") << QVariant(-1) << 2 << 1046u << "Agenda Telefônica"
                                               << "";
    QTest::newRow("1 English") << QVariant(1) << 1 << 1033u << "Phone Book"
                               << "";
    // The first load stays: the error already speaks its language.
    QTest::newRow("beyond the list") << QVariant(3) << -1 << 1046u << "Agenda Telefônica"
                                     << "Índice da lista fora dos limites (-1)";
}

void TestMainWindow::creationLanguage()
{
    QFETCH(QVariant, index);
    QFETCH(int, selected);
    QFETCH(uint, loaded);
    QFETCH(QString, caption);
    QFETCH(QString, error);

    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), index);
    BoxAnswerer answerer;
    TFrmAgenda* window = createWindow();

    QCOMPARE(window->CBIdiomas->count(), 3);
    QCOMPARE(window->CBIdiomas->itemData(0).toUInt(), 3082u);
    QCOMPARE(window->CBIdiomas->currentIndex(), selected);
    QVERIFY(CurrentLanguage());
    const uint headerOrder[] = {3082, 1033, 1046}; // of the installed file
    QCOMPARE(headerOrder[CurrentLanguage()->position()], loaded);
    QCOMPARE(window->windowTitle(), caption);
    // The ancestors' records apply too: the record toolbar's texts come from them.
    if (loaded == 1033u && selected == 1) {
        QCOMPARE(window->StatusBar1->panel(0)->text(), QStringLiteral("F2 - New"));
        QCOMPARE(window->BNovo->text(), QStringLiteral("New"));
        QCOMPARE(window->RGLocalizar->button(2)->text(), QStringLiteral("Phone"));
        QCOMPARE(window->DBGrid1->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Name"));
    }
    QCOMPARE(answerer.boxes().size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty())
        QCOMPARE(answerer.boxes().first().text, error);
}

void TestMainWindow::withoutLanguageFileTheWindowOpensUntranslated()
{
    QVERIFY(QFile::remove(LanguageFileName()));
    BoxAnswerer answerer;
    TFrmAgenda* window = createWindow();
    QCOMPARE(window->CBIdiomas->count(), 0);
    QVERIFY(!CurrentLanguage());
    QCOMPARE(window->windowTitle(), QStringLiteral("Agenda Telefônica"));
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes().first().text, QStringLiteral("List index out of bounds (-1)"));
    QVERIFY(window->trayIcon()->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable());
}

void TestMainWindow::birthdayWindowOpensOncePerRun_data()
{
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<int>("opened");
    const QDate today = QDate::currentDate();
    QTest::newRow("born today") << today << 1;
    QTest::newRow("today's day of an earlier year") << today.addYears(-28) << 1;
    QTest::newRow("tomorrow's day of an earlier year") << today.addDays(1).addYears(-28) << 0;
    QTest::newRow("yesterday's day of an earlier year") << today.addDays(-1).addYears(-28) << 0;
}

void TestMainWindow::birthdayWindowOpensOncePerRun()
{
    QFETCH(QDate, birth);
    QFETCH(int, opened);

    addContact(QStringLiteral("Zeca"), {}, {}, {}, QDateTime(birth, QTime(0, 0)));
    int seen = 0;
    int listed = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* birthdays = qobject_cast<TFrmAniversariantes*>(widget);
                birthdays && birthdays->isVisible()) {
                ++seen;
                listed += birthdays->Q_Relatorio.recordCount();
                birthdays->close();
            }
        }
    });
    closer.start(20);
    TFrmAgenda* window = createWindow();
    window->show();
    window->hide();
    window->show();
    QCOMPARE(seen, opened);
    // The window it opens lists the birthday at once.
    QCOMPARE(listed, opened);
    QCOMPARE(window->birthdayWindowShown(), opened == 1);
    QVERIFY(window->isVisible());
}

void TestMainWindow::trayEventsAndMenuItems_data()
{
    QTest::addColumn<Steps>("before");
    QTest::addColumn<Steps>("event");
    QTest::addColumn<QString>("after"); // shown, hidden, minimised

    const Steps shown = [](TFrmAgenda& w) { w.show(); };
    const Steps hidden = [](TFrmAgenda& w) {
        w.show();
        w.hide();
    };
    const Steps minimised = [](TFrmAgenda& w) { w.showMinimized(); };
    const auto tray = [](int lParam) {
        return Steps([lParam](TFrmAgenda& w) { w.MensagemBandeja(lParam); });
    };
    const auto menu = [](Action* TFrmAgenda::*item) {
        return Steps([item](TFrmAgenda& w) { (w.*item)->trigger(); });
    };

    QTest::newRow("left press, shown") << shown << tray(513) << "hidden";
    QTest::newRow("left press, hidden") << hidden << tray(513) << "shown";
    QTest::newRow("left press, minimised") << minimised << tray(513) << "shown";
    QTest::newRow("left release ignored") << shown << tray(514) << "shown";
    QTest::newRow("double click ignored") << hidden << tray(515) << "hidden";
    QTest::newRow("Restaurar, hidden") << hidden << menu(&TFrmAgenda::Maximizar1) << "shown";
    QTest::newRow("Restaurar, minimised") << minimised << menu(&TFrmAgenda::Maximizar1) << "shown";
    QTest::newRow("Ocultar, shown") << shown << menu(&TFrmAgenda::Minimizar1) << "hidden";
    QTest::newRow("Ocultar, minimised restores")
        << minimised << menu(&TFrmAgenda::Minimizar1) << "shown";
}

void TestMainWindow::trayEventsAndMenuItems()
{
    QFETCH(Steps, before);
    QFETCH(Steps, event);
    QFETCH(QString, after);

    TFrmAgenda* window = createWindow();
    before(*window);
    event(*window);
    const QString state = !window->isVisible()    ? QStringLiteral("hidden")
                          : window->isMinimized() ? QStringLiteral("minimised")
                                                  : QStringLiteral("shown");
    QCOMPARE(state, after);
}

void TestMainWindow::closeHides()
{
    addContact(QStringLiteral("Zeca"), {}, {}, {});
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), 2);
    BoxAnswerer answerer(QMessageBox::No);
    TFrmAgenda* window = createWindow();
    window->show();

    // Right press and the options button open the tray menu 200 ms later.
    window->MensagemBandeja(516);
    QVERIFY(window->TimerPopup->isActive());
    window->TimerPopup->stop();
    window->PNGOpcoes->click();
    QVERIFY(window->TimerPopup->isActive());
    window->TimerPopup->stop();

    // Closing asks the save question of a pending edit, then hides.
    agenda_->dm().Q_Agenda.edit();
    QVERIFY(!window->close());
    QVERIFY(!window->isVisible());
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(agenda_->dm().Q_Agenda.state(), DataSet::State::Browse);
}

// Needs a real X display with a notification area: the icon of a tray that embeds it is a
// window of its own, which a modal window would block.
void TestMainWindow::trayAnswersWhileAModalWindowIsUp()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        !QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("needs an X display with a notification area (for example Xvfb and icewm)");
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), 2);
    TFrmAgenda* window = showActiveWindow();
    const auto trayWindow = []() -> QWidget* {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto found = std::find_if(windows.cbegin(), windows.cend(), [](QWidget* w) {
            return w->inherits("QSystemTrayIconSys") && w->isVisible();
        });
        return found == windows.cend() ? nullptr : *found;
    };
    QTRY_VERIFY(trayWindow());
    QWidget* tray = trayWindow();
    bool menuDue = false;
    QTimer::singleShot(300, this, [&] {
        // Through the window system, as a click on the screen arrives.
        QTest::mouseClick(tray->windowHandle(), Qt::RightButton, {}, QPoint(5, 5));
        menuDue = window->TimerPopup->isActive();
        window->TimerPopup->stop();
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::No)->click();
    });
    ConfirmarExclusao();
    QVERIFY(menuDue);
}

void TestMainWindow::startHiddenSetting_data()
{
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<bool>("visible");
    QTest::newRow("S") << QVariant("S") << false;
    QTest::newRow("s") << QVariant("s") << true;
    QTest::newRow("N") << QVariant("N") << true;
    QTest::newRow("NULL") << QVariant() << true;
}

void TestMainWindow::startHiddenSetting()
{
    QFETCH(QVariant, setting);
    QFETCH(bool, visible);

    agenda_->setConfiguration(QStringLiteral("CFG_STARTMINIMIZADO"), setting);
    TFrmAgenda* window = createWindow();
    window->show();
    QTest::qWait(150);
    QCOMPARE(window->isVisible(), visible);
    QVERIFY(!window->TimerInicio->isActive());
}

void TestMainWindow::startHideWaitsForTheBirthdayWindow()
{
    agenda_->setConfiguration(QStringLiteral("CFG_STARTMINIMIZADO"), QStringLiteral("S"));
    addContact(QStringLiteral("Zeca"), {}, {}, {}, QDateTime(QDate::currentDate(), QTime(0, 0)));
    bool mainVisibleMeanwhile = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* birthdays = qobject_cast<TFrmAniversariantes*>(widget);
            if (birthdays && birthdays->isVisible()) {
                mainVisibleMeanwhile = window_->isVisible();
                birthdays->close();
            }
        }
    });
    TFrmAgenda* window = createWindow();
    closer.start(200); // after the start-up hide fell due
    window->show();
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(mainVisibleMeanwhile);
    QVERIFY(window->birthdayWindowShown());
}

void TestMainWindow::printButtonOpensItsMenuLater()
{
    TFrmAgenda* window = createWindow();
    window->show();
    // Without contacts F6 does not delete: it reaches the print button.
    QTest::keyClick(window, Qt::Key_F6);
    QVERIFY(window->TimerPopupPrint->isActive());
    QTRY_VERIFY(window->PMImprimir->isVisible());
    QVERIFY(!window->TimerPopupPrint->isActive());
    // The two printouts first, then, after a separator, the two exports.
    const QList<QAction*> items = window->PMImprimir->actions();
    QCOMPARE(items.size(), 5);
    QCOMPARE(items[0], window->RelaodeNomes1);
    QCOMPARE(items[1], window->Etiquetas1);
    QVERIFY(items[2]->isSeparator());
    window->PMImprimir->hide();
}

void TestMainWindow::fecharEndsWithoutAQuestion()
{
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), 2);
    BoxAnswerer answerer;
    TFrmAgenda* window = createWindow();
    window->show();
    agenda_->dm().Q_Agenda.edit();
    QEventLoop loop;
    QTimer::singleShot(0, window->Fechar1, &QAction::trigger);
    QTimer::singleShot(5000, &loop, [&] { loop.exit(1); });
    QCOMPARE(loop.exec(), 0);
    QVERIFY(answerer.boxes().isEmpty());
}

TARVO_APPLICATION_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
