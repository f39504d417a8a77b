#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_CadLembretes.h"
#include "U_Lembretes.h"
#include "db/Statement.h"
#include "platform/AppFolder.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"

#include <QFile>
#include <QMessageBox>

#include <memory>

// The due check of each minute and the alert, on a fresh database, with the clock and the
// sound player set by the test.
class TestLembretes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dueAtItsMinuteAndNeverBefore_data();
    void dueAtItsMinuteAndNeverBefore();
    void twoDueExcluirThenFechar();
    void anAlertLeftOpenOverSeveralTicks();
    void nothingDueAnyMoreWhileTheAlertIsOpen();
    void alterarOpensTheRegisterOnTheReminder();
    void aStoredTimeThatIsNoMomentIsReportedEachTick();
    void theRealPlayerNeverReports();

private:
    QStringList stored();
    // One tick of the reminder timer at the given moment.
    void tickAt(const QDateTime& moment);

    std::unique_ptr<AgendaFixture> agenda_;
    std::unique_ptr<TFrmAgenda> main_;
    QStringList sounds_;
};

namespace {

const QDate kToday(2026, 12, 11);

QDateTime at(const QDate& date, int hour, int minute, int second = 0)
{
    return QDateTime(date, QTime(hour, minute, second));
}

} // namespace

void TestLembretes::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
    sounds_.clear();
    Sound::setPlayer([this](const QString& file) { sounds_ << file; });
    main_.reset(CreateForm<TFrmAgenda>());
    main_->TLembretes->stop(); // the test ticks
    main_->hide();
}

void TestLembretes::cleanup()
{
    Application::destroyAdoptedWindows();
    main_.reset();
    Sound::setPlayer(nullptr);
    Clock::setNow(std::nullopt);
    UnloadLanguage();
    agenda_.reset();
}

QStringList TestLembretes::stored()
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    Statement rows(transaction,
                   QStringLiteral("select LEM_MENSAGEM from TB_LEMBRETES order by LEM_CODIGO"));
    rows.execute();
    QStringList result;
    while (rows.fetchNext())
        result << rows.value(0).toString();
    return result;
}

void TestLembretes::tickAt(const QDateTime& moment)
{
    Clock::setNow(moment);
    main_->TLembretesTimer();
}

void TestLembretes::dueAtItsMinuteAndNeverBefore_data()
{
    QTest::addColumn<QVariant>("date");
    QTest::addColumn<QVariant>("time");
    QTest::addColumn<QDateTime>("tick");
    QTest::addColumn<bool>("shown");

    const QVariant today = QDateTime(kToday, QTime(0, 0));
    QTest::newRow("14:30 at 14:29:59")
        << today << QVariant("14:30") << at(kToday, 14, 29, 59) << false;
    QTest::newRow("14:30 at 14:30:00") << today << QVariant("14:30") << at(kToday, 14, 30) << true;
    QTest::newRow("yesterday 23:59, a day later")
        << QVariant(QDateTime(kToday.addDays(-1), QTime(0, 0))) << QVariant("23:59")
        << at(kToday, 23, 0) << true;
    QTest::newRow("no time") << today << QVariant() << at(kToday, 23, 0) << false;
    QTest::newRow("no date") << QVariant() << QVariant("08:00") << at(kToday, 23, 0) << false;
}

void TestLembretes::dueAtItsMinuteAndNeverBefore()
{
    QFETCH(QVariant, date);
    QFETCH(QVariant, time);
    QFETCH(QDateTime, tick);
    QFETCH(bool, shown);

    agenda_->addReminder(1, date, time, QStringLiteral("Dentista"));
    tickAt(tick);
    QCOMPARE(FrmLembretes != nullptr && FrmLembretes->isVisible(), shown);
    QCOMPARE(main_->isVisible(), shown);
    QCOMPARE(sounds_.size(), shown ? 1 : 0);
    QCOMPARE(agenda_->dm().Q_Lembretes.isActive(), shown);
    if (shown) {
        QCOMPARE(FrmLembretes->DBMemo1->toPlainText(), QStringLiteral("Dentista"));
        QCOMPARE(sounds_.first(), applicationFolder() + QStringLiteral("/alarme.wav"));
        QVERIFY(FrmLembretes->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(FrmLembretes->windowTitle(), QStringLiteral("Lembretes"));
    }
}

void TestLembretes::twoDueExcluirThenFechar()
{
    const QVariant today = QDateTime(kToday, QTime(0, 0));
    agenda_->addReminder(1, today, QStringLiteral("08:00"), QStringLiteral("Primeiro"));
    agenda_->addReminder(2, today, QStringLiteral("09:00"), QStringLiteral("Segundo"));
    tickAt(at(kToday, 10, 0));
    const QString first = FrmLembretes->DBMemo1->toPlainText();
    FrmLembretes->BitBtn2->click(); // "Excluir", at once
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!FrmLembretes);
    QCOMPARE(stored().size(), 1);
    QVERIFY(!stored().contains(first));

    tickAt(at(kToday, 10, 1));
    QVERIFY(FrmLembretes);
    QCOMPARE(FrmLembretes->DBMemo1->toPlainText(), stored().first());
    FrmLembretes->BitBtn3->click(); // "Fechar": still due
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!agenda_->dm().Q_Lembretes.isActive());
    tickAt(at(kToday, 10, 2));
    QVERIFY(FrmLembretes && FrmLembretes->isVisible());
    QCOMPARE(sounds_.size(), 3);
}

void TestLembretes::anAlertLeftOpenOverSeveralTicks()
{
    agenda_->addReminder(1, QDateTime(kToday, QTime(0, 0)), QStringLiteral("08:00"),
                         QStringLiteral("Ir"));
    tickAt(at(kToday, 9, 0));
    TFrmLembretes* alert = FrmLembretes;
    for (int minute = 1; minute <= 3; ++minute) {
        main_->hide();
        tickAt(at(kToday, 9, minute));
        QCOMPARE(FrmLembretes, alert);
        QVERIFY(main_->isVisible()); // brought forward each minute
    }
    QCOMPARE(sounds_.size(), 1);
    int alerts = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        alerts += qobject_cast<TFrmLembretes*>(widget) ? 1 : 0;
    QCOMPARE(alerts, 1);
}

void TestLembretes::nothingDueAnyMoreWhileTheAlertIsOpen()
{
    agenda_->addReminder(1, QDateTime(kToday, QTime(0, 0)), QStringLiteral("08:00"),
                         QStringLiteral("Ir"));
    tickAt(at(kToday, 9, 0));
    {
        // Moved an hour later elsewhere, as in the register.
        Connection connection(agenda_->database().path());
        connection.open();
        Transaction transaction(connection);
        Statement(transaction, QStringLiteral("update TB_LEMBRETES set LEM_HORA = '10:00'"))
            .execute();
        transaction.commit();
    }
    tickAt(at(kToday, 9, 1));
    QVERIFY(FrmLembretes && FrmLembretes->isVisible());
    QCOMPARE(FrmLembretes->DBMemo1->toPlainText(), QString());
    // Nothing is left to delete: "Excluir" only closes the alert.
    FrmLembretes->BitBtn2->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!FrmLembretes);
    QCOMPARE(stored(), QStringList{QStringLiteral("Ir")});
    tickAt(at(kToday, 9, 59));
    QVERIFY(!FrmLembretes);
    tickAt(at(kToday, 10, 0));
    QVERIFY(FrmLembretes);
}

void TestLembretes::alterarOpensTheRegisterOnTheReminder()
{
    const QVariant today = QDateTime(kToday, QTime(0, 0));
    agenda_->addReminder(1, QDateTime(kToday.addDays(5), QTime(0, 0)), QStringLiteral("08:00"),
                         QStringLiteral("Depois"));
    agenda_->addReminder(12, today, QStringLiteral("08:00"), QStringLiteral("Agora"));
    agenda_->addReminder(120, QDateTime(kToday.addDays(5), QTime(0, 0)), QStringLiteral("08:00"),
                         QStringLiteral("Outro"));
    tickAt(at(kToday, 9, 0));
    // A register already open: "Alterar" opens another one over it.
    std::unique_ptr<TFrmCadLembretes> earlier(CreateForm<TFrmCadLembretes>());
    earlier->show();
    FrmLembretes->BitBtn1->click(); // "Alterar"
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!FrmLembretes);
    TFrmCadLembretes* opened = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget == earlier.get())
            continue;
        if (auto* reminders = qobject_cast<TFrmCadLembretes*>(widget);
            reminders && reminders->isVisible())
            opened = reminders;
    }
    QVERIFY(opened);
    QVERIFY(!opened->isModal());
    QCOMPARE(agenda_->dm().Q_CadLembretes.fieldByName(QStringLiteral("LEM_CODIGO")).asInteger(),
             12);
    QCOMPARE(opened->DBMemo1->toPlainText(), QStringLiteral("Agora"));
    // The due data set stays open on its reminder.
    QVERIFY(agenda_->dm().Q_Lembretes.isActive());
}

// Written behind the program's back: the check fails, its error is shown, no alert comes.
void TestLembretes::aStoredTimeThatIsNoMomentIsReportedEachTick()
{
    agenda_->addReminder(1, QDateTime(kToday, QTime(0, 0)), QStringLiteral("25:70"),
                         QStringLiteral("Nunca"));
    BoxAnswerer answerer;
    Clock::setNow(at(kToday, 23, 0));
    main_->TLembretes->start(10);
    QTRY_VERIFY(answerer.boxes().size() >= 2);
    main_->TLembretes->stop();
    QVERIFY(!FrmLembretes);
    QVERIFY(!agenda_->dm().Q_Lembretes.isActive());
    QCOMPARE(answerer.boxes().first().icon, QMessageBox::Critical);
}

// The alarm, and the default sound for a file that is missing, with or without a sound device.
void TestLembretes::theRealPlayerNeverReports()
{
    Sound::setPlayer(nullptr);
    BoxAnswerer answerer;
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/alarme.wav"),
                        applicationFolder() + QStringLiteral("/alarme.wav")));
    Sound::play(applicationFolder() + QStringLiteral("/alarme.wav"));
    Sound::play(applicationFolder() + QStringLiteral("/missing.wav"));
    QTest::qWait(100);
    QVERIFY(answerer.boxes().isEmpty());
}

TARVO_APPLICATION_TEST_MAIN(TestLembretes)
#include "tst_lembretes.moc"
