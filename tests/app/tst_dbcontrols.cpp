#include "U_DM.h"
#include "db/Statement.h"
#include "platform/Error.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "widgets/DBGrid.h"
#include "widgets/DataSource.h"
#include "widgets/DbControls.h"
#include "widgets/EditMask.h"

#include <QClipboard>
#include <QHeaderView>
#include <QInputMethodEvent>

#include <memory>

// The data-aware controls bound to the data module's data sets on a fresh database.
class TestDbControls : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void maskNotation_data();
    void maskNotation();
    void maskedEditStoresItsValue_data();
    void maskedEditStoresItsValue();
    void wrongDateIsRefusedAtEveryPost();
    void editTakesTheFieldWidthAndForcedCase();
    void forcedCaseHoldsHoweverTextArrives_data();
    void forcedCaseHoldsHoweverTextArrives();
    void browsingDataSetTakesNoInput();
    void pickOnlySortedList();
    void checkBoxShowsGreyForOtherValues_data();
    void checkBoxShowsGreyForOtherValues();
    void gridFollowsTheDataSet();

private:
    void addReminder(int code, const QVariant& message);

    std::unique_ptr<AgendaFixture> agenda_;
    std::unique_ptr<QWidget> window_;
    DataSource* source_ = nullptr;
};

void TestDbControls::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    window_ = std::make_unique<QWidget>();
    source_ = new DataSource(window_.get());
}

void TestDbControls::cleanup()
{
    window_.reset();
    agenda_.reset();
}

void TestDbControls::addReminder(int code, const QVariant& message)
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    Statement insert(transaction, QStringLiteral("insert into TB_LEMBRETES (LEM_CODIGO, LEM_DATA, "
                                                 "LEM_HORA, LEM_MENSAGEM) values (:C, "
                                                 "'10.12.2026', '10:00', :M)"));
    insert.setParameter(QStringLiteral("C"), code);
    insert.setParameter(QStringLiteral("M"), message);
    insert.execute();
    transaction.commit();
}

void TestDbControls::maskNotation_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("inputMask");
    QTest::newRow("date") << "!99/99/9999;1;_"
                          << "00/00/0000;_";
    QTest::newRow("hour") << "!90:00;1;_"
                          << "09:99;_";
    QTest::newRow("postal code") << "99.999-999;1;_"
                                 << "00.000-000;_";
}

void TestDbControls::maskNotation()
{
    QFETCH(QString, mask);
    QFETCH(QString, inputMask);
    QCOMPARE(EditMask::parse(mask).toInputMask(), inputMask);
}

void TestDbControls::maskedEditStoresItsValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed"); // "<clear>" empties the edit
    QTest::addColumn<QVariant>("stored");

    QTest::newRow("hour typed") << "LEM_HORA"
                                << "0930" << QVariant("09:30");
    QTest::newRow("hour untouched") << "LEM_HORA"
                                    << "" << QVariant();
    QTest::newRow("hour emptied") << "LEM_HORA"
                                  << "<clear>" << QVariant();
    QTest::newRow("date typed") << "LEM_DATA"
                                << "24122026"
                                << QVariant(QDateTime(QDate(2026, 12, 24), QTime(0, 0)));
    QTest::newRow("date emptied") << "LEM_DATA"
                                  << "<clear>" << QVariant();
}

void TestDbControls::maskedEditStoresItsValue()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QVariant, stored);

    DataSet& reminders = agenda_->dm().Q_CadLembretes;
    source_->setDataSet(&reminders);
    auto* edit = new DBEdit(QStringLiteral("E"), window_.get());
    edit->bind(source_, field);
    reminders.open();
    reminders.insert();
    if (typed == QLatin1String("<clear>")) {
        QTest::keyClicks(edit, QStringLiteral("1"));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
    } else if (!typed.isEmpty()) {
        edit->setFocus();
        edit->home(false);
        QTest::keyClicks(edit, typed);
    }
    reminders.post();
    const QVariant value = reminders.fieldByName(field).value();
    QCOMPARE(value.isNull(), stored.isNull());
    if (!stored.isNull())
        QCOMPARE(value.toString(), stored.toString());
}

void TestDbControls::wrongDateIsRefusedAtEveryPost()
{
    DataSet& reminders = agenda_->dm().Q_CadLembretes;
    source_->setDataSet(&reminders);
    auto* date = new DBEdit(QStringLiteral("EData"), window_.get());
    date->bind(source_, QStringLiteral("LEM_DATA"));
    reminders.open();
    reminders.insert();
    date->home(false);
    QTest::keyClicks(date, QStringLiteral("31022026"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            reminders.post();
            QFAIL("posted");
        } catch (const Error& error) {
            QCOMPARE(error.message(),
                     QStringLiteral("Field 'LEM_DATA': '31/02/2026' is not a valid date"));
        }
        QCOMPARE(reminders.state(), DataSet::State::Insert);
    }
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("28022026"));
    reminders.post();
    QCOMPARE(reminders.fieldByName(QStringLiteral("LEM_DATA")).value().toDate(),
             QDate(2026, 2, 28));
}

void TestDbControls::editTakesTheFieldWidthAndForcedCase()
{
    DataSet& contacts = agenda_->dm().Q_Agenda;
    source_->setDataSet(&contacts);
    auto* name = new DBEdit(QStringLiteral("EUF"), window_.get());
    name->setCharCase(Edit::CharCase::Upper);
    name->bind(source_, QStringLiteral("AGE_UF"));
    contacts.open();
    contacts.insert();
    contacts.fieldByName(QStringLiteral("AGE_NOME")).setAsString(QStringLiteral("Zeca"));
    QCOMPARE(name->maxLength(), contacts.fieldByName(QStringLiteral("AGE_UF")).size());
    QTest::keyClicks(name, QStringLiteral("spx"));
    contacts.post();
    QCOMPARE(contacts.fieldByName(QStringLiteral("AGE_UF")).asString(),
             QStringLiteral("SPX").left(name->maxLength()));
}

using Arrival = std::function<void(QLineEdit*)>;
Q_DECLARE_METATYPE(Arrival)

void TestDbControls::forcedCaseHoldsHoweverTextArrives_data()
{
    QTest::addColumn<Arrival>("arrive");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");

    // The key of a composed letter, as a keyboard without an input method delivers it.
    const Arrival composedKey = [](QLineEdit* edit) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Aacute, Qt::NoModifier, QStringLiteral("á"));
        QApplication::sendEvent(edit, &press);
        QTest::keyClicks(edit, QStringLiteral("vM"));
    };
    // A dead key, then the letter: the input method shows the accent, then commits.
    const Arrival deadKey = [](QLineEdit* edit) {
        QInputMethodEvent accent(QStringLiteral("´"), {});
        QApplication::sendEvent(edit, &accent);
        QInputMethodEvent letter;
        letter.setCommitString(QStringLiteral("á"));
        QApplication::sendEvent(edit, &letter);
        QTest::keyClicks(edit, QStringLiteral("vM"));
    };
    const Arrival pasted = [](QLineEdit* edit) {
        QGuiApplication::clipboard()->setText(QStringLiteral("áVm"));
        edit->paste();
    };
    QTest::newRow("a composed key") << composedKey << "ÁVM"
                                    << "ávm";
    QTest::newRow("a dead key through the input method") << deadKey << "ÁVM"
                                                         << "ávm";
    QTest::newRow("pasted") << pasted << "ÁVM"
                            << "ávm";
}

void TestDbControls::forcedCaseHoldsHoweverTextArrives()
{
    QFETCH(Arrival, arrive);
    QFETCH(QString, upper);
    QFETCH(QString, lower);

    // A search box in capitals, and an e-mail field in small letters that stores what it shows.
    auto* search = new Edit(QStringLiteral("EdPesquisa"), window_.get());
    search->setCharCase(Edit::CharCase::Upper);
    QStringList searched;
    connect(search, &QLineEdit::textChanged, this, [&](const QString& text) { searched << text; });
    DataSet& contacts = agenda_->dm().Q_Agenda;
    source_->setDataSet(&contacts);
    auto* email = new DBEdit(QStringLiteral("DBEdit13"), window_.get());
    email->setCharCase(Edit::CharCase::Lower);
    email->bind(source_, QStringLiteral("AGE_EMAIL"));
    contacts.open();
    contacts.insert();
    contacts.fieldByName(QStringLiteral("AGE_NOME")).setAsString(QStringLiteral("Zeca"));

    arrive(search);
    arrive(email);

    QCOMPARE(search->text(), upper);
    // Every change was already in capitals when the box told of it.
    for (const QString& text : std::as_const(searched))
        QCOMPARE(text, text.toUpper());
    QCOMPARE(email->text(), lower);
    contacts.post();
    QCOMPARE(contacts.fieldByName(QStringLiteral("AGE_EMAIL")).asString(), lower);
}

void TestDbControls::browsingDataSetTakesNoInput()
{
    addReminder(1, QStringLiteral("lembrete"));
    DataSet& reminders = agenda_->dm().Q_CadLembretes;
    source_->setDataSet(&reminders);
    auto* hour = new DBEdit(QStringLiteral("EHora"), window_.get());
    hour->bind(source_, QStringLiteral("LEM_HORA"));
    auto* memo = new DBMemo(QStringLiteral("MMensagem"), window_.get());
    memo->bind(source_, QStringLiteral("LEM_MENSAGEM"));
    reminders.open();

    hour->home(false);
    QTest::keyClicks(hour, QStringLiteral("1111"));
    QTest::keyClicks(memo, QStringLiteral("x"));
    QCOMPARE(hour->text(), QStringLiteral("10:00"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("lembrete"));
    reminders.edit();
    reminders.post();
    QVERIFY(!reminders.isModified());
    QCOMPARE(reminders.fieldByName(QStringLiteral("LEM_HORA")).asString(), QStringLiteral("10:00"));
}

void TestDbControls::pickOnlySortedList()
{
    DataSet& configuration = agenda_->dm().TB_Configuracao;
    source_->setDataSet(&configuration);
    auto* skins = new DBComboBox(QStringLiteral("CBSkin"), window_.get());
    for (const char* skin : {"Verde", "Azul", "Nenhum"})
        skins->addSortedItem(QString::fromLatin1(skin));
    skins->bind(source_, QStringLiteral("CFG_SKIN"));
    configuration.open();

    QVERIFY(!skins->isEditable());
    QCOMPARE(skins->itemText(0), QStringLiteral("Azul"));
    QCOMPARE(skins->itemText(2), QStringLiteral("Verde"));
    QCOMPARE(skins->currentText(), QStringLiteral("Nenhum"));

    configuration.edit();
    skins->setCurrentIndex(0);
    emit skins->activated(0);
    configuration.post();
    QCOMPARE(configuration.fieldByName(QStringLiteral("CFG_SKIN")).asString(),
             QStringLiteral("Azul"));
}

void TestDbControls::checkBoxShowsGreyForOtherValues_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("afterClick");

    QTest::newRow("S") << QVariant("S") << int(Qt::Checked) << "N";
    QTest::newRow("s") << QVariant("s") << int(Qt::Checked) << "N";
    QTest::newRow("N") << QVariant("N") << int(Qt::Unchecked) << "S";
    QTest::newRow("NULL") << QVariant() << int(Qt::PartiallyChecked) << "S";
    QTest::newRow("X") << QVariant("X") << int(Qt::PartiallyChecked) << "S";
}

void TestDbControls::checkBoxShowsGreyForOtherValues()
{
    QFETCH(QVariant, stored);
    QFETCH(int, shown);
    QFETCH(QString, afterClick);

    DataSet& configuration = agenda_->dm().TB_Configuracao;
    configuration.open();
    configuration.edit();
    configuration.fieldByName(QStringLiteral("CFG_STARTMINIMIZADO")).setValue(stored);
    source_->setDataSet(&configuration);
    auto* box = new DBCheckBox(QStringLiteral("CBMinimizado"), QStringLiteral("x"), window_.get());
    box->setValues(QStringLiteral("S"), QStringLiteral("N"));
    box->bind(source_, QStringLiteral("CFG_STARTMINIMIZADO"));
    QCOMPARE(int(box->checkState()), shown);

    box->click();
    configuration.post();
    QCOMPARE(configuration.fieldByName(QStringLiteral("CFG_STARTMINIMIZADO")).asString(),
             afterClick);
}

void TestDbControls::gridFollowsTheDataSet()
{
    addReminder(1, QStringLiteral("com mensagem"));
    addReminder(2, QVariant());
    DataSet& reminders = agenda_->dm().Q_CadLembretes;
    source_->setDataSet(&reminders);
    auto* grid = new DBGrid(QStringLiteral("Grade"), window_.get());
    grid->setDataSource(source_);
    grid->addColumn(QStringLiteral("LEM_HORA"), QStringLiteral("Hora"), 50);
    grid->addColumn(QStringLiteral("LEM_MENSAGEM"), QStringLiteral("Mensagem"), 90);
    reminders.open();

    QAbstractItemModel* model = grid->model();
    while (model->canFetchMore({}))
        model->fetchMore({});
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->data(model->index(0, 0)).toString(), QStringLiteral("10:00"));
    QCOMPARE(model->data(model->index(0, 1)).toString(), QStringLiteral("(MEMO)"));
    QCOMPARE(model->data(model->index(1, 1)).toString(), QStringLiteral("(Memo)"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Mensagem"));
    QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignCenter));
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(!(grid->focusPolicy() & Qt::TabFocus));
    QVERIFY(grid->editTriggers() == QAbstractItemView::NoEditTriggers);

    // The title is reached as the language file names it: Columns<1>.Title.Caption.
    auto* columns = grid->property("Columns").value<Collection*>();
    QVERIFY(columns);
    auto* title = columns->item(1)->property("Title").value<QObject*>();
    QVERIFY(title);
    title->setProperty("Caption", QStringLiteral("Message"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Message"));

    // The current row follows the data set, and a new row appears at once.
    reminders.last();
    QCOMPARE(grid->currentIndex().row(), 1);
    reminders.append();
    QCOMPARE(model->rowCount(), 3);
    reminders.cancel();
    QCOMPARE(model->rowCount(), 2);
}

TARVO_APPLICATION_TEST_MAIN(TestDbControls)
#include "tst_dbcontrols.moc"
