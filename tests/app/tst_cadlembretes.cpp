#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_CadLembretes.h"
#include "U_DM.h"
#include "db/Statement.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"
#include "support/ModalProbe.h"

#include <QFile>
#include <QTimer>

#include <memory>

// The reminder register on a fresh database with the installed language file.
class TestCadLembretes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void designAndTranslation_data();
    void designAndTranslation();
    void opensOnTheDueReminderByItsExactCode_data();
    void opensOnTheDueReminderByItsExactCode();
    void trayMenuOpensItModally();
    void aReminderIsAddedByKey();
    void aMomentThatCannotBeIsRefused_data();
    void aMomentThatCannotBeIsRefused();

private:
    void addReminder(int code, const QDateTime& date, const QVariant& message);
    QStringList storedMessages();

    std::unique_ptr<AgendaFixture> agenda_;
};

void TestCadLembretes::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
}

void TestCadLembretes::cleanup()
{
    Application::destroyAdoptedWindows();
    UnloadLanguage();
    agenda_.reset();
}

void TestCadLembretes::addReminder(int code, const QDateTime& moment, const QVariant& message)
{
    agenda_->addReminder(code, QDateTime(moment.date(), QTime(0, 0)),
                         moment.time().toString(QStringLiteral("hh:mm")), message);
}

QStringList TestCadLembretes::storedMessages()
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    Statement rows(transaction, QStringLiteral("select LEM_MENSAGEM || ' ' || LEM_HORA from "
                                               "TB_LEMBRETES order by LEM_CODIGO"));
    rows.execute();
    QStringList result;
    while (rows.fetchNext())
        result << rows.value(0).toString();
    return result;
}

void TestCadLembretes::designAndTranslation_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("Spanish") << 0 << "Registro de recordatorios"
                             << QStringList{"Fecha", "Hora", "Mensaje"};
    QTest::newRow("English") << 1 << "Reminders" << QStringList{"Date", "Time", "Message"};
    QTest::newRow("Portuguese") << 2 << "Cadastro de Lembretes"
                                << QStringList{"Data", "Hora", "Mensagem"};
}

void TestCadLembretes::designAndTranslation()
{
    QFETCH(int, language);
    QFETCH(QString, caption);
    QFETCH(QStringList, titles);

    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), language);
    addReminder(1, QDateTime::currentDateTime().addDays(1), QStringLiteral("Dentista"));
    addReminder(2, QDateTime::currentDateTime().addDays(2), QVariant());
    std::unique_ptr<TFrmAgenda> main(CreateForm<TFrmAgenda>()); // loads the language
    std::unique_ptr<TFrmCadLembretes> window(CreateForm<TFrmCadLembretes>());
    window->show();

    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->size(), QSize(401, 338));
    QStringList shown;
    for (int column = 0; column < 3; ++column)
        shown << window->DBGrid1->model()->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(shown, titles);
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{window->BImprimir, window->BPrimeiro, window->BUltimo})
        QVERIFY(hidden->isHidden());
    // A message is only marked in the list.
    const QAbstractItemModel* list = window->DBGrid1->model();
    QCOMPARE(list->data(list->index(0, 2)).toString(), QStringLiteral("(MEMO)"));
    QCOMPARE(list->data(list->index(1, 2)).toString(), QStringLiteral("(Memo)"));
    // The field's mask: two, two and four digits with the slashes kept.
    QCOMPARE(window->DBEdit1->inputMask().left(10), QStringLiteral("00/00/0000"));
}

void TestCadLembretes::opensOnTheDueReminderByItsExactCode_data()
{
    QTest::addColumn<int>("due");     // the code due, 0 for none
    QTest::addColumn<int>("current"); // the code the register opens on
    QTest::newRow("12 among 1, 12 and 120") << 12 << 12;
    QTest::newRow("120") << 120 << 120;
    QTest::newRow("nothing due") << 0 << 1;
}

void TestCadLembretes::opensOnTheDueReminderByItsExactCode()
{
    QFETCH(int, due);
    QFETCH(int, current);

    const QDateTime later = QDateTime::currentDateTime().addDays(3);
    const QDateTime past = QDateTime::currentDateTime().addDays(-1);
    for (const int code : {1, 12, 120})
        addReminder(code, code == due ? past : later, QStringLiteral("R%1").arg(code));
    DataSet& dueReminders = agenda_->dm().Q_Lembretes;
    dueReminders.setParameter(QStringLiteral("DATAEHORA"), QDateTime::currentDateTime());
    dueReminders.open();

    std::unique_ptr<TFrmCadLembretes> window(CreateForm<TFrmCadLembretes>());
    window->show();
    QCOMPARE(agenda_->dm().Q_CadLembretes.fieldByName(QStringLiteral("LEM_CODIGO")).asInteger(),
             current);
    QCOMPARE(window->DBMemo1->toPlainText(), QStringLiteral("R%1").arg(current));
}

void TestCadLembretes::trayMenuOpensItModally()
{
    BoxAnswerer answerer;
    std::unique_ptr<TFrmAgenda> main(CreateForm<TFrmAgenda>());
    main->show();
    QVERIFY(opensModally<TFrmCadLembretes>([&] { main->Lembretes1->trigger(); }));
    QVERIFY(answerer.boxes().isEmpty());
}

void TestCadLembretes::aReminderIsAddedByKey()
{
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), -1); // no questions
    std::unique_ptr<TFrmCadLembretes> window(CreateForm<TFrmCadLembretes>());
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F2);
    QCOMPARE(QApplication::focusWidget(), window->DBMemo1);
    QTest::keyClicks(window->DBMemo1, QStringLiteral("Dentista"));
    QTest::keyClick(window->DBMemo1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window->DBEdit1);
    QTest::keyClick(window->DBEdit1, Qt::Key_Home);
    QTest::keyClicks(window->DBEdit1, QStringLiteral("24122026"));
    window->DBEdit2->setFocus();
    QTest::keyClick(window->DBEdit2, Qt::Key_Home);
    QTest::keyClicks(window->DBEdit2, QStringLiteral("0930"));
    QTest::keyClick(window->DBEdit2, Qt::Key_F3);
    QCOMPARE(storedMessages(), QStringList{QStringLiteral("Dentista 09:30")});
}

void TestCadLembretes::aMomentThatCannotBeIsRefused_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("message");
    QTest::newRow("31 February") << "31022026"
                                 << "0930"
                                 << "DBEdit1"
                                 << "Field 'LEM_DATA': '31/02/2026' is not a valid date";
    QTest::newRow("25:70") << "24122026"
                           << "2570"
                           << "DBEdit2"
                           << "Field 'LEM_HORA': '25:70' is not a valid time";
    QTest::newRow("a half-typed time") << "24122026"
                                       << "9"
                                       << "DBEdit2"
                                       << "Field 'LEM_HORA': '9:' is not a valid time";
}

// A stored moment that cannot be would make the due check fail every minute.
void TestCadLembretes::aMomentThatCannotBeIsRefused()
{
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QString, control);
    QFETCH(QString, message);

    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), -1);
    BoxAnswerer answerer;
    std::unique_ptr<TFrmCadLembretes> window(CreateForm<TFrmCadLembretes>());
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F2);
    QTest::keyClicks(window->DBMemo1, QStringLiteral("Dentista"));
    for (auto [edit, text] : {std::pair{window->DBEdit1, date}, std::pair{window->DBEdit2, time}}) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClicks(edit, text);
    }
    QTest::keyClick(window->DBEdit2, Qt::Key_F3);

    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes().first().text, message);
    QCOMPARE(agenda_->dm().Q_CadLembretes.state(), DataSet::State::Insert);
    QCOMPARE(window->focusWidget()->objectName(), control);
    QCOMPARE(storedMessages(), QStringList{});
}

TARVO_APPLICATION_TEST_MAIN(TestCadLembretes)
#include "tst_cadlembretes.moc"
