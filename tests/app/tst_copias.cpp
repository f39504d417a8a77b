#include "AutomaticBackup.h"
#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_Copias.h"
#include "U_DM.h"
#include "U_FormBase.h"
#include "db/BackupFolder.h"
#include "db/Statement.h"
#include "platform/Clock.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"

#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTreeWidget>

#include <memory>

class TestCopias : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void trayItemAboveOptionsAndStartUpCopy();
    void theListSpeaksTheLanguage();
    void keepRuleOverAMonth();
    void failureToldOnceADay();
    void serverDatabaseGetsNoCopy();
    void restoreBringsBackADeletedContact();
    void refusedRestoreChangesNothing();

private:
    void addContact(int code, const QString& name);
    QStringList listedNames();
    // Runs the automatic copy as the hourly check would at moment.
    void checkAt(AutomaticBackup& backup, const QDateTime& moment);
    BackupFolder folder() const { return BackupFolder(agenda_->database().path()); }

    std::unique_ptr<AgendaFixture> agenda_;
};

void TestCopias::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
}

void TestCopias::cleanup()
{
    Clock::setNow(std::nullopt);
    agenda_.reset();
}

void TestCopias::addContact(int code, const QString& name)
{
    DataSet& contacts = DM->Q_Agenda;
    if (!contacts.isActive())
        contacts.open();
    contacts.append();
    contacts.fieldByName(QStringLiteral("AGE_CODIGO")).setValue(code);
    contacts.fieldByName(QStringLiteral("AGE_NOME")).setValue(name);
    contacts.post();
}

QStringList TestCopias::listedNames()
{
    QStringList names;
    DataSet& contacts = DM->Q_Agenda;
    contacts.fetchAll();
    for (int row = 0; row < contacts.recordCount(); ++row)
        names << contacts.value(row, contacts.fieldByName(QStringLiteral("AGE_NOME")).index())
                     .toString();
    return names;
}

void TestCopias::checkAt(AutomaticBackup& backup, const QDateTime& moment)
{
    Clock::setNow(moment);
    QSignalSpy finished(&backup, &AutomaticBackup::finished);
    if (backup.check())
        QVERIFY(finished.wait(60000));
}

void TestCopias::trayItemAboveOptionsAndStartUpCopy()
{
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
    Clock::setNow(QDateTime(QDate(2024, 3, 8), QTime(9, 0)));
    std::unique_ptr<TFrmAgenda> window(CreateForm<TFrmAgenda>());
    QStringList items;
    for (QAction* action : window->PopupMenu1->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(items.mid(items.size() - 5),
             (QStringList{"-", "Cópias de segurança…", "Opções", "-", "Fechar"}));
    // The start-up copy, in the background.
    QTRY_VERIFY_WITH_TIMEOUT(folder().hasDailyCopyOf(QDate(2024, 3, 8)), 30000);
    QTRY_VERIFY(!window->copiaAutomatica->isRunning());
    window.reset();
    UnloadLanguage();
}

void TestCopias::theListSpeaksTheLanguage()
{
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), 0);
    std::unique_ptr<TFrmAgenda> main(CreateForm<TFrmAgenda>()); // loads the language
    std::unique_ptr<TFrmCopias> window(CreateForm<TFrmCopias>());
    QStringList titles;
    for (int column = 0; column < window->LVCopias->columnCount(); ++column)
        titles << window->LVCopias->headerItem()->text(column);
    QCOMPARE(titles.size(), 4);
    QCOMPARE(titles.first(), QStringLiteral("Fecha"));
    QVERIFY(!titles.contains(QStringLiteral("Contatos")));
    window.reset();
    main.reset();
    UnloadLanguage();
}

void TestCopias::keepRuleOverAMonth()
{
    AutomaticBackup backup;
    // 1 March 2024 is a Friday; a copy each day, at most one a day however often it checks.
    for (int day = 1; day <= 30; ++day) {
        checkAt(backup, QDateTime(QDate(2024, 3, day), QTime(8, 0)));
        checkAt(backup, QDateTime(QDate(2024, 3, day), QTime(20, 0)));
    }
    QList<int> days;
    for (const BackupCopy& copy : folder().copies()) {
        days << copy.madeAt.date().day();
        QCOMPARE(copy.madeAt.time(), QTime(8, 0));
    }
    // The last seven days, and the newest of each of the last four weeks.
    QCOMPARE(days, (QList<int>{30, 29, 28, 27, 26, 25, 24, 17, 10}));
}

void TestCopias::failureToldOnceADay()
{
    // A file where the folder of copies should be: no copy can be made.
    QFile blocker(folder().path());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    BoxAnswerer answerer;
    AutomaticBackup backup;
    checkAt(backup, QDateTime(QDate(2024, 3, 8), QTime(8, 0)));
    checkAt(backup, QDateTime(QDate(2024, 3, 8), QTime(9, 0)));
    QCOMPARE(answerer.boxes().size(), 1);
    QVERIFY(answerer.boxes().first().text.contains(folder().path()));
    QCOMPARE(answerer.boxes().first().icon, QMessageBox::Warning);
    checkAt(backup, QDateTime(QDate(2024, 3, 9), QTime(8, 0)));
    QCOMPARE(answerer.boxes().size(), 2);
}

void TestCopias::serverDatabaseGetsNoCopy()
{
    DM->DB_Agenda.setDatabaseName(QStringLiteral("localhost:") + agenda_->database().path());
    AutomaticBackup backup;
    Clock::setNow(QDateTime(QDate(2024, 3, 8), QTime(8, 0)));
    QVERIFY(!backup.check());
    QVERIFY(!QFile::exists(folder().path()));
}

void TestCopias::restoreBringsBackADeletedContact()
{
    addContact(1, QStringLiteral("ANA"));
    addContact(2, QStringLiteral("BRUNO"));
    const BackupCopy copy = folder().makeCopy(QDateTime(QDate(2024, 3, 7), QTime(8, 0)));
    DM->Q_Agenda.first();
    DM->Q_Agenda.remove();
    QCOMPARE(listedNames(), QStringList{"BRUNO"});

    Clock::setNow(QDateTime(QDate(2024, 3, 8), QTime(10, 0)));
    QPointer<TFrmCopias> window(CreateForm<TFrmCopias>());
    QCOMPARE(window->LVCopias->topLevelItemCount(), 1);
    QCOMPARE(window->LVCopias->topLevelItem(0)->text(2), QStringLiteral("2"));
    BoxAnswerer answerer(QMessageBox::Yes);
    window->BRestaurar->click();
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes().first().icon, QMessageBox::Question);

    // The person sees the restored contact without restarting.
    QVERIFY(DM->Q_Agenda.isActive());
    QCOMPARE(listedNames(), (QStringList{"ANA", "BRUNO"}));
    QVERIFY(DM->TB_Configuracao.isActive());
    // The replaced database is one more copy, listed first.
    QCOMPARE(window->LVCopias->topLevelItemCount(), 2);
    const BackupCopy kept = folder().copies().first();
    QVERIFY(kept.beforeRestore);
    QCOMPARE(kept.contents.contacts, 1);
    // Saving goes on in the restored database.
    addContact(3, QStringLiteral("CARLA"));
    QCOMPARE(countContents(agenda_->database().path()).contacts, 3);
    delete window;
}

void TestCopias::refusedRestoreChangesNothing()
{
    folder().makeCopy(QDateTime(QDate(2024, 3, 7), QTime(8, 0)));
    addContact(1, QStringLiteral("ANA"));
    std::unique_ptr<TFrmCopias> window(CreateForm<TFrmCopias>());
    BoxAnswerer answerer(QMessageBox::No);
    window->BRestaurar->click();
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(listedNames(), QStringList{"ANA"});
    QCOMPARE(folder().copies().size(), 1);
    // Esc closes it.
    window->show();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

TARVO_APPLICATION_TEST_MAIN(TestCopias)
#include "tst_copias.moc"
