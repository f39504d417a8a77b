#include "U_BaseChild.h"
#include "U_DM.h"
#include "U_Funcoes.h"
#include "db/Statement.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"
#include "widgets/DBGrid.h"
#include "widgets/DbControls.h"

#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

// A small record window over the reminders, as the program's record windows are built.
class TFrmTeste : public TFrmBaseFilha
{
    Q_OBJECT

public:
    explicit TFrmTeste(QSize size = {651, 420})
        : EData(new DBEdit(QStringLiteral("EData"), PFundo)),
          EHora(new DBEdit(QStringLiteral("EHora"), PFundo)),
          MMensagem(new DBMemo(QStringLiteral("MMensagem"), PFundo)),
          Grade(new DBGrid(QStringLiteral("Grade"), PBusca))
    {
        setObjectName(QStringLiteral("FrmTeste"));
        DataSource1->setDataSet(&DM->Q_CadLembretes);
        EData->bind(DataSource1, QStringLiteral("LEM_DATA"));
        EHora->bind(DataSource1, QStringLiteral("LEM_HORA"));
        MMensagem->bind(DataSource1, QStringLiteral("LEM_MENSAGEM"));
        auto* fields = new QVBoxLayout(PFundo);
        fields->addWidget(EData);
        fields->addWidget(EHora);
        fields->addWidget(MMensagem);
        Grade->setDataSource(DataSource1);
        Grade->addColumn(QStringLiteral("LEM_DATA"), QStringLiteral("Data"), 90);
        Grade->addColumn(QStringLiteral("LEM_MENSAGEM"), QStringLiteral("Mensagem"), 90);
        (new QVBoxLayout(PBusca))->addWidget(Grade);
        arrangeRegions(150);
        resize(size);
        ++created;
        connect(this, &QObject::destroyed, [] { ++destroyed; });
    }

    DBEdit* EData;
    DBEdit* EHora;
    DBMemo* MMensagem;
    DBGrid* Grade;
    int prints = 0;
    static inline int created = 0;
    static inline int destroyed = 0;

protected:
    void BImprimirClick() override { ++prints; }
};

using Steps = std::function<void(TFrmTeste&)>;
Q_DECLARE_METATYPE(Steps)

class TestRecordWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keys_data();
    void keys();
    void enterMovesTheFocusAlsoInTheMemo();
    void browsingControlsTakeNoInput();
    void enabling_data();
    void enabling();
    void navigationButtonsFollowTheRow();
    void deleteQuestion_data();
    void deleteQuestion();
    void saveQuestionOnClose_data();
    void saveQuestionOnClose();
    void failingSaveOnCloseKeepsTheWindowOpen();
    void errorOfAHandlerIsShownAndTheLoopGoesOn();
    void statusPanelsFollowTheOuterWidth();
    void translatedAtCreation();
    void abrirFormularioOpensANewWindowEachCall();
    void abrirFormularioPlacesTheWindow_data();
    void abrirFormularioPlacesTheWindow();

private:
    void addReminders(int count);
    int storedReminders();
    void setLanguageIndex(int index);
    std::unique_ptr<TFrmTeste> showWindow(int reminders);
    static void press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = {});

    std::unique_ptr<AgendaFixture> agenda_;
};

void TestRecordWindow::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    setLanguageIndex(3); // no questions unless a test asks for them
}

void TestRecordWindow::cleanup()
{
    // Windows a failed test left behind.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<TFrmTeste*>(widget))
            delete widget;
    }
    agenda_.reset();
}

void TestRecordWindow::addReminders(int count)
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    for (int code = 1; code <= count; ++code) {
        Statement insert(transaction,
                         QStringLiteral("insert into TB_LEMBRETES (LEM_CODIGO, LEM_DATA, LEM_HORA, "
                                        "LEM_MENSAGEM) values (:C, '10.12.2026', '10:00', :M)"));
        insert.setParameter(QStringLiteral("C"), code);
        insert.setParameter(QStringLiteral("M"), QStringLiteral("lembrete %1").arg(code));
        insert.execute();
    }
    transaction.commit();
}

int TestRecordWindow::storedReminders()
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    Statement count(transaction, QStringLiteral("select count(*) from TB_LEMBRETES"));
    count.execute();
    count.fetchNext();
    return count.value(0).toInt();
}

void TestRecordWindow::setLanguageIndex(int index)
{
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), index);
}

std::unique_ptr<TFrmTeste> TestRecordWindow::showWindow(int reminders)
{
    addReminders(reminders);
    auto window = std::unique_ptr<TFrmTeste>(CreateForm<TFrmTeste>());
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the window did not become active");
    return window;
}

// A key as the user presses it: to the focused control, or to the window when none has focus.
void TestRecordWindow::press(QWidget* window, int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == window ? focus : window, Qt::Key(key), modifiers);
}

void TestRecordWindow::keys_data()
{
    QTest::addColumn<int>("reminders");
    QTest::addColumn<Steps>("before");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<DataSet::State>("state");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("prints");
    QTest::addColumn<QString>("firstHour"); // LEM_HORA of reminder 1 in the database

    const Steps nothing = [](TFrmTeste&) {};
    const Steps edit = [](TFrmTeste& w) { w.dataSet()->edit(); };
    const Steps editAndType = [](TFrmTeste& w) {
        w.dataSet()->edit();
        w.EHora->setFocus();
        w.EHora->selectAll();
        QTest::keyClicks(w.EHora, QStringLiteral("0930"));
    };
    const Steps focusGrid = [](TFrmTeste& w) { w.Grade->setFocus(); };
    const int none = Qt::NoModifier;
    const auto Browse = DataSet::State::Browse;
    const auto Insert = DataSet::State::Insert;
    const auto Edit = DataSet::State::Edit;

    QTest::newRow("F2 during an edit with a change saves, then begins a row")
        << 1 << editAndType << int(Qt::Key_F2) << none << Insert << 1 << 0 << "09:30";
    QTest::newRow("F2 during an edit without a change drops it, then begins a row")
        << 1 << edit << int(Qt::Key_F2) << none << Insert << 1 << 0 << "10:00";
    QTest::newRow("F4 on an empty data set begins a row")
        << 0 << nothing << int(Qt::Key_F4) << none << Insert << 0 << 0 << "";
    QTest::newRow("F4 with rows edits")
        << 2 << nothing << int(Qt::Key_F4) << none << Edit << 2 << 0 << "10:00";
    QTest::newRow("F3 while browsing does not apply")
        << 2 << nothing << int(Qt::Key_F3) << none << Browse << 2 << 0 << "10:00";
    QTest::newRow("F6 with rows deletes")
        << 2 << nothing << int(Qt::Key_F6) << none << Browse << 1 << 0 << "";
    QTest::newRow("F6 without rows prints")
        << 0 << nothing << int(Qt::Key_F6) << none << Browse << 0 << 1 << "";
    QTest::newRow("Shift+F6 with rows prints")
        << 2 << nothing << int(Qt::Key_F6) << int(Qt::ShiftModifier) << Browse << 2 << 1 << "10:00";
    QTest::newRow("Shift+F2 is not F2")
        << 2 << nothing << int(Qt::Key_F2) << int(Qt::ShiftModifier) << Browse << 2 << 0 << "10:00";
    QTest::newRow("Ctrl+Delete in the grid does nothing")
        << 2 << focusGrid << int(Qt::Key_Delete) << int(Qt::ControlModifier) << Browse << 2 << 0
        << "10:00";
}

void TestRecordWindow::keys()
{
    QFETCH(int, reminders);
    QFETCH(Steps, before);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(DataSet::State, state);
    QFETCH(int, stored);
    QFETCH(int, prints);
    QFETCH(QString, firstHour);

    BoxAnswerer answerer;
    auto window = showWindow(reminders);
    before(*window);
    press(window.get(), key, Qt::KeyboardModifiers(modifiers));

    QCOMPARE(window->dataSet()->state(), state);
    QCOMPARE(storedReminders(), stored);
    QCOMPARE(window->prints, prints);
    QVERIFY(answerer.boxes().isEmpty());
    if (!firstHour.isEmpty()) {
        Connection connection(agenda_->database().path());
        connection.open();
        Transaction transaction(connection);
        Statement hour(transaction,
                       QStringLiteral("select LEM_HORA from TB_LEMBRETES where LEM_CODIGO = 1"));
        hour.execute();
        QVERIFY(hour.fetchNext());
        QCOMPARE(hour.value(0).toString(), firstHour);
    }
}

void TestRecordWindow::enterMovesTheFocusAlsoInTheMemo()
{
    auto window = showWindow(1);
    window->dataSet()->edit();
    window->MMensagem->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), window->MMensagem);

    press(window.get(), Qt::Key_Return);
    QVERIFY(QApplication::focusWidget() != window->MMensagem);
    press(window.get(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), window->MMensagem);
    press(window.get(), Qt::Key_Enter, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), window->EHora);
    QCOMPARE(window->MMensagem->toPlainText(), QStringLiteral("lembrete 1"));
    QVERIFY(!window->dataSet()->isModified());
}

void TestRecordWindow::browsingControlsTakeNoInput()
{
    auto window = showWindow(1);
    QVERIFY(!window->PFundo->isEnabled());
    QTest::keyClicks(window->EHora, QStringLiteral("1111"));
    QTest::keyClicks(window->MMensagem, QStringLiteral("x"));
    window->dataSet()->edit();
    window->dataSet()->post();
    QCOMPARE(window->dataSet()->fieldByName(QStringLiteral("LEM_HORA")).asString(),
             QStringLiteral("10:00"));
    QCOMPARE(window->MMensagem->toPlainText(), QStringLiteral("lembrete 1"));
}

void TestRecordWindow::enabling_data()
{
    QTest::addColumn<int>("reminders");
    QTest::addColumn<Steps>("steps");
    // PFundo BNovo BAlterar BExcluir BGravar BCancelar BPrimeiro BAnterior BProximo BUltimo
    QTest::addColumn<QString>("enabled");

    QTest::newRow("closed") << 2 << Steps([](TFrmTeste& w) { w.dataSet()->close(); })
                            << "0000110000";
    QTest::newRow("browsing, empty") << 0 << Steps([](TFrmTeste&) {}) << "0100000000";
    QTest::newRow("browsing, at the first row") << 2 << Steps([](TFrmTeste&) {}) << "0111000011";
    QTest::newRow("browsing, at the last row")
        << 2 << Steps([](TFrmTeste& w) { w.dataSet()->last(); }) << "0111001100";
    QTest::newRow("editing") << 2 << Steps([](TFrmTeste& w) { w.dataSet()->edit(); })
                             << "1000110000";
    QTest::newRow("inserting") << 0 << Steps([](TFrmTeste& w) { w.dataSet()->insert(); })
                               << "1000110000";
    // No change of state: the buttons follow their actions, and editing an empty data set
    // still applies (it begins a row).
    QTest::newRow("after the last row is deleted")
        << 1 << Steps([](TFrmTeste& w) { w.dataSet()->remove(); }) << "0110000000";
}

void TestRecordWindow::enabling()
{
    QFETCH(int, reminders);
    QFETCH(Steps, steps);
    QFETCH(QString, enabled);

    auto window = showWindow(reminders);
    steps(*window);
    const QList<QWidget*> controls = {
        window->PFundo,    window->BNovo,     window->BAlterar,  window->BExcluir, window->BGravar,
        window->BCancelar, window->BPrimeiro, window->BAnterior, window->BProximo, window->BUltimo};
    QString actual;
    for (QWidget* control : controls)
        actual += control->isEnabled() ? u'1' : u'0';
    QCOMPARE(actual, enabled);
}

void TestRecordWindow::navigationButtonsFollowTheRow()
{
    auto window = showWindow(3);
    QVERIFY(!window->BPrimeiro->isEnabled());
    window->BProximo->click();
    QCOMPARE(window->dataSet()->currentIndex(), 1);
    QVERIFY(window->BPrimeiro->isEnabled());
    window->BUltimo->click();
    QVERIFY(!window->BProximo->isEnabled());
    QVERIFY(!window->BUltimo->isEnabled());
    // A disabled button's action does not run by key or click while it does not apply.
    window->BUltimo->click();
    QCOMPARE(window->dataSet()->currentIndex(), 2);
    window->BPrimeiro->click();
    QCOMPARE(window->dataSet()->currentIndex(), 0);
    QVERIFY(!window->BAnterior->isEnabled());
    QVERIFY(window->BProximo->isEnabled());
}

void TestRecordWindow::deleteQuestion_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("stored");

    QTest::newRow("0 Yes") << 0 << int(QMessageBox::Yes) << "Seguro que quiere borrar?" << 1;
    QTest::newRow("0 No") << 0 << int(QMessageBox::No) << "Seguro que quiere borrar?" << 2;
    QTest::newRow("1 Yes") << 1 << int(QMessageBox::Yes) << "Really delete?" << 1;
    QTest::newRow("2 No") << 2 << int(QMessageBox::No) << "Confirma a Exclusão?" << 2;
    QTest::newRow("3, no question") << 3 << int(QMessageBox::No) << "" << 1;
}

void TestRecordWindow::deleteQuestion()
{
    QFETCH(int, index);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(int, stored);

    setLanguageIndex(index);
    BoxAnswerer answerer{QMessageBox::StandardButton(answer)};
    auto window = showWindow(2);
    window->BExcluir->click();

    QCOMPARE(answerer.boxes().size(), question.isEmpty() ? 0 : 1);
    if (!question.isEmpty())
        QCOMPARE(answerer.boxes().first().text, question);
    QCOMPARE(storedReminders(), stored);
    QCOMPARE(window->dataSet()->recordCount(), stored);
}

void TestRecordWindow::saveQuestionOnClose_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("storedHour");
    QTest::addColumn<DataSet::State>("state");

    const auto Browse = DataSet::State::Browse;
    const auto Edit = DataSet::State::Edit;
    QTest::newRow("0 Yes saves") << 0 << int(QMessageBox::Yes) << "¿Desea guardar los cambios?"
                                 << true << "09:30" << Browse;
    QTest::newRow("1 No discards")
        << 1 << int(QMessageBox::No) << "Want to save changes?" << true << "10:00" << Browse;
    QTest::newRow("2 Cancel keeps it open and editing")
        << 2 << int(QMessageBox::Cancel) << "Deseja salvar as alterações?" << false << "10:00"
        << Edit;
    QTest::newRow("3 closes with the row still in edit")
        << 3 << int(QMessageBox::Yes) << "" << true << "10:00" << Edit;
}

void TestRecordWindow::saveQuestionOnClose()
{
    QFETCH(int, index);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(bool, closed);
    QFETCH(QString, storedHour);
    QFETCH(DataSet::State, state);

    setLanguageIndex(index);
    BoxAnswerer answerer{QMessageBox::StandardButton(answer)};
    auto window = showWindow(1);
    window->dataSet()->edit();
    window->EHora->setFocus();
    window->EHora->selectAll();
    QTest::keyClicks(window->EHora, QStringLiteral("0930"));
    QPointer<TFrmTeste> watched(window.release());
    press(watched, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(answerer.boxes().size(), question.isEmpty() ? 0 : 1);
    if (!question.isEmpty())
        QCOMPARE(answerer.boxes().first().text, question);
    QCOMPARE(watched.isNull(), closed);
    QCOMPARE(agenda_->dm().Q_CadLembretes.state(), state);
    if (watched)
        QCOMPARE(watched->EHora->text(), QStringLiteral("09:30"));
    agenda_->dm().Q_CadLembretes.close();
    agenda_->dm().Q_CadLembretes.open();
    QCOMPARE(agenda_->dm().Q_CadLembretes.fieldByName(QStringLiteral("LEM_HORA")).asString(),
             storedHour);
}

void TestRecordWindow::failingSaveOnCloseKeepsTheWindowOpen()
{
    setLanguageIndex(2);
    BoxAnswerer answerer(QMessageBox::Yes);
    auto window = showWindow(1);
    const int destroyed = TFrmTeste::destroyed;
    window->dataSet()->edit();
    window->dataSet()->fieldByName(QStringLiteral("LEM_CODIGO")).clear();
    QVERIFY(!window->close());

    QCOMPARE(answerer.boxes().size(), 2);
    QCOMPARE(answerer.boxes().at(1).text, QStringLiteral("Field 'LEM_CODIGO' must have a value"));
    QVERIFY(window->isVisible());
    QCOMPARE(window->dataSet()->state(), DataSet::State::Edit);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(TFrmTeste::destroyed, destroyed);
}

void TestRecordWindow::errorOfAHandlerIsShownAndTheLoopGoesOn()
{
    BoxAnswerer answerer;
    auto window = showWindow(1);
    press(window.get(), Qt::Key_F4);
    window->dataSet()->fieldByName(QStringLiteral("LEM_CODIGO")).clear();
    press(window.get(), Qt::Key_F3);
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes().first().text, QStringLiteral("Field 'LEM_CODIGO' must have a value"));
    QCOMPARE(window->dataSet()->state(), DataSet::State::Edit);

    press(window.get(), Qt::Key_F5);
    QCOMPARE(window->dataSet()->state(), DataSet::State::Browse);
}

void TestRecordWindow::statusPanelsFollowTheOuterWidth()
{
    auto window = showWindow(0);
    const int frame = window->frameGeometry().width();
    QCOMPARE(window->StatusBar1->panelCount(), 6);
    QCOMPARE(window->StatusBar1->panel(0)->text(), QStringLiteral("F2 - Novo"));
    QCOMPARE(window->StatusBar1->panel(5)->text(), QStringLiteral("Esc - Sair"));
    for (int i = 0; i < 6; ++i)
        QCOMPARE(window->StatusBar1->panel(i)->width(), frame / 6);

    window->hide();
    window->resize(700, 420);
    window->show();
    QCOMPARE(window->StatusBar1->panel(3)->width(), window->frameGeometry().width() / 6);
}

void TestRecordWindow::translatedAtCreation()
{
    // Without a language the design-time texts stay; the button shows its action's caption.
    auto window = std::unique_ptr<TFrmTeste>(CreateForm<TFrmTeste>());
    QCOMPARE(window->BNovo->text(), QStringLiteral("Novo"));
    QCOMPARE(window->BSair->text(), QStringLiteral("Sair"));
    window->Novo->setText(QStringLiteral("New"));
    QCOMPARE(window->BNovo->text(), QStringLiteral("New"));
}

void TestRecordWindow::abrirFormularioOpensANewWindowEachCall()
{
    addReminders(1);
    const int created = TFrmTeste::created;
    const int destroyed = TFrmTeste::destroyed;
    QList<QPointer<TFrmTeste>> open;
    Qt::WindowFlags flags;
    QTimer::singleShot(0, this, [&] {
        open = {};
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<TFrmTeste*>(widget); form && form->isVisible())
                open << form;
        }
        // A second call while the first window is up opens a second window over it.
        QTimer::singleShot(0, this, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* form = qobject_cast<TFrmTeste*>(widget);
                if (form && form->isVisible() && !open.contains(form))
                    open << form;
            }
            flags = open.last()->windowFlags();
            // Closed before anything is checked, so that a failure cannot leave it waiting.
            press(open.last(), Qt::Key_Escape);
        });
        AbrirFormulario<TFrmTeste>();
        press(open.first(), Qt::Key_Escape);
    });
    AbrirFormulario<TFrmTeste>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(open.size(), 2);
    QCOMPARE(TFrmTeste::created - created, 2);
    QCOMPARE(TFrmTeste::destroyed - destroyed, 2);
    QVERIFY(open.at(0).isNull() && open.at(1).isNull());
    // The title bar keeps the system menu alone.
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
}

void TestRecordWindow::abrirFormularioPlacesTheWindow_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("larger");
    QTest::newRow("smaller than the screen") << QSize(400, 300) << false;
    QTest::newRow("larger than the screen") << QSize(5000, 4000) << true;
}

void TestRecordWindow::abrirFormularioPlacesTheWindow()
{
    QFETCH(QSize, size);
    QFETCH(bool, larger);

    QPoint position;
    QSize frame;
    QTimer::singleShot(0, this, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<TFrmTeste*>(widget); form && form->isVisible()) {
                position = form->frameGeometry().topLeft();
                frame = form->frameGeometry().size();
                form->close();
            }
        }
    });
    ShowFormModal(CreateForm<TFrmTeste>(size));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    if (larger)
        QCOMPARE(position, QPoint(0, 0));
    else
        QCOMPARE(position, QPoint((screen.width() - frame.width()) / 2,
                                  (screen.height() - frame.height()) / 2));
}

TARVO_APPLICATION_TEST_MAIN(TestRecordWindow)
#include "tst_recordwindow.moc"
