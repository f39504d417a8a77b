#include "TarvoAgenda.h"
#include "U_DM.h"
#include "db/Statement.h"
#include "platform/AppFolder.h"
#include "support/TempDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The start-up sequence with the start-up file present, absent and wrong.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void failedConnectionShowsTheBoxAndEnds_data();
    void failedConnectionShowsTheBoxAndEnds();
    void withoutTheFileNothingIsOpened();
    void savedSkinIsAppliedAtStart_data();
    void savedSkinIsAppliedAtStart();

private:
    void writeStartupFile(const QString& folder, const QByteArray& content);
};

void TestStartup::cleanup()
{
    setApplicationFolder(QString());
    qApp->setStyleSheet(QString());
}

void TestStartup::writeStartupFile(const QString& folder, const QByteArray& content)
{
    QFile file(folder + QStringLiteral("/BaseAgenda.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void TestStartup::failedConnectionShowsTheBoxAndEnds_data()
{
    QTest::addColumn<QByteArray>("startupFile");
    QTest::addRow("missing database") << QByteArray("[BANCO]\nCAMINHO=%1/NONE.FDB\n");
    QTest::addRow("empty path") << QByteArray("[BANCO]\nCAMINHO=\n");
    QTest::addRow("no key") << QByteArray("[BANCO]\n");
}

void TestStartup::failedConnectionShowsTheBoxAndEnds()
{
    QFETCH(QByteArray, startupFile);
    QTemporaryDir dir;
    writeStartupFile(dir.path(), startupFile.replace("%1", dir.path().toLocal8Bit()));
    setApplicationFolder(dir.path());

    QString caption, text;
    int boxes = 0;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        ++boxes;
        caption = box->windowTitle();
        text = box->text();
        box->buttons().first()->click();
    });
    answer.start(20);

    QCOMPARE(TarvoAgendaRun(), 1);
    QCOMPARE(boxes, 1);
    QCOMPARE(caption, QStringLiteral("Tarvo Agenda"));
    QCOMPARE(text, QStringLiteral("Não foi possível conectar com a Base de dados"));
    QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
            std::none_of(QApplication::topLevelWidgets().cbegin(),
                         QApplication::topLevelWidgets().cend(),
                         [](QWidget* w) { return w->isVisible(); }));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"BaseAgenda.ini"});
    QVERIFY(DM == nullptr);
}

void TestStartup::withoutTheFileNothingIsOpened()
{
    QTemporaryDir dir;
    setApplicationFolder(dir.path());
    TDM dm;
    QVERIFY(dm.DataModuleCreate());
    QVERIFY(!dm.DB_Agenda.isOpen());
    QCOMPARE(dm.DB_Agenda.databaseName(),
             QStringLiteral("C:\\Tarvo\\Tarvo Agenda\\Tarvodb\\TARVOAGENDA.FDB"));
    QVERIFY(!dm.TB_Configuracao.isActive());
    QCOMPARE(dm.languageIndex(), 0);
    QVERIFY(!dm.sd1.isActive());
}

void TestStartup::savedSkinIsAppliedAtStart_data()
{
    QTest::addColumn<QVariant>("skin");
    QTest::addColumn<bool>("active");
    QTest::addRow("a skin") << QVariant("Azul") << true;
    QTest::addRow("Nenhum") << QVariant("Nenhum") << false;
    QTest::addRow("NULL") << QVariant() << false;
    QTest::addRow("nenhum in other case is a name") << QVariant("nenhum") << true;
}

void TestStartup::savedSkinIsAppliedAtStart()
{
    QFETCH(QVariant, skin);
    QFETCH(bool, active);
    TempDatabase db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    {
        Connection connection(db.path());
        connection.open();
        Transaction transaction(connection);
        Statement update(transaction, QStringLiteral("update TB_CONFIGURACOES set CFG_SKIN = :S"));
        update.setParameter(QStringLiteral("S"), skin);
        update.execute();
        transaction.commit();
    }
    QDir(db.folder()).mkdir(QStringLiteral("Skins"));
    QFile sheet(db.folder() + QStringLiteral("/Skins/Azul.skn"));
    QVERIFY(sheet.open(QIODevice::WriteOnly));
    sheet.write("QWidget { color: blue; }");
    sheet.close();
    // Quotes and blanks around the path are dropped.
    writeStartupFile(db.folder(), "[Banco]\n caminho = \"" + db.path().toLocal8Bit() + "\" \n");
    setApplicationFolder(db.folder());

    TDM dm;
    QVERIFY(dm.DataModuleCreate());
    QVERIFY(dm.DB_Agenda.isOpen());
    QVERIFY(dm.TB_Configuracao.isActive());
    QCOMPARE(dm.sd1.isActive(), active);
    if (skin.toString() == QLatin1String("Azul")) {
        QCOMPARE(dm.sd1.skinFile(), db.folder() + QStringLiteral("/Skins/Azul.skn"));
        QCOMPARE(qApp->styleSheet(), QStringLiteral("QWidget { color: blue; }"));
    }
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
