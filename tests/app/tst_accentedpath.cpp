#include "LcUnit.h"
#include "TarvoAgenda.h"
#include "U_Agenda.h"
#include "U_DM.h"
#include "platform/AppFolder.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

// The program in a folder whose name has an accent, as in a home folder such as
// "/home/joão": the set-up script of "make run" creates the database and writes the start-up
// file, and the real start-up reaches the database, whatever the locale (CTest runs this test
// under a UTF-8 and under the C locale).
class TestAccentedPath : public QObject
{
    Q_OBJECT

private slots:
    void setUpScriptAndStartUpReachTheDatabase_data();
    void setUpScriptAndStartUpReachTheDatabase();
};

void TestAccentedPath::setUpScriptAndStartUpReachTheDatabase_data()
{
    QTest::addColumn<QByteArray>("rewrittenAs"); // empty: as the set-up script wrote it
    QTest::newRow("written by the set-up script") << QByteArray();
    QTest::newRow("rewritten in Windows-1252 by an editor") << QByteArray("Windows-1252");
    QTest::newRow("rewritten in UTF-8 with a byte-order mark") << QByteArray("UTF-8 BOM");
}

void TestAccentedPath::setUpScriptAndStartUpReachTheDatabase()
{
    QFETCH(QByteArray, rewrittenAs);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString home = root.filePath(QStringLiteral("joão"));
    const QString appDir = home + QStringLiteral("/Agenda Telefônica");
    QVERIFY(QDir().mkpath(appDir));
    QVERIFY(QFile::link(QStringLiteral(TARVO_APP_DIR "/tarvo-createdb"),
                        appDir + QStringLiteral("/tarvo-createdb")));

    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/dados"));
    script.setProcessEnvironment(environment);
    script.start(QStringLiteral(TARVO_SOURCE_DIR "/scripts/prepare-default-database.sh"), {appDir});
    QVERIFY(script.waitForFinished(60000));
    QVERIFY2(script.exitCode() == 0, script.readAllStandardError().constData());
    const QString database = home + QStringLiteral("/dados/tarvo-agenda/TARVOAGENDA.FDB");
    QVERIFY(QFile::exists(database));

    const QString startupFile = appDir + QStringLiteral("/BaseAgenda.ini");
    if (!rewrittenAs.isEmpty()) {
        QFile file(startupFile);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QString text = QStringLiteral("[BANCO]\r\nCAMINHO=%1\r\n").arg(database);
        file.write(rewrittenAs == "Windows-1252" ? text.toLatin1()
                                                 : "\xEF\xBB\xBF" + text.toUtf8());
    }

    setApplicationFolder(appDir);
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
    BoxAnswerer answerer;
    bool shown = false;
    QTimer whenShown;
    connect(&whenShown, &QTimer::timeout, this, [&] {
        if (FrmAgenda && FrmAgenda->isVisible() && DM && DM->Q_Agenda.isActive()) {
            shown = true;
            FrmAgenda->Fechar1->trigger();
        }
    });
    whenShown.start(20);
    QCOMPARE(TarvoAgendaRun(), 0);
    QVERIFY(shown);
    QVERIFY(answerer.boxes().isEmpty());
    setApplicationFolder(QString());
}

TARVO_APPLICATION_TEST_MAIN(TestAccentedPath)
#include "tst_accentedpath.moc"
