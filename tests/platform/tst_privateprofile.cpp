#include "platform/PrivateProfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPrivateProfile : public QObject
{
    Q_OBJECT

private slots:
    void readsLikeThePlatform_data();
    void readsLikeThePlatform();
    void missingFileGivesTheDefault();
};

void TestPrivateProfile::readsLikeThePlatform_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    QTest::addRow("plain") << QByteArray("[BANCO]\r\nCAMINHO=/data/A.FDB\r\n") << "/data/A.FDB";
    QTest::addRow("names in other case") << QByteArray("[banco]\ncaminho=x:/A.FDB\n") << "x:/A.FDB";
    QTest::addRow("blanks around names and value")
        << QByteArray("  [ Banco ]  \n  Caminho  =   /a b/C.FDB   \n") << "/a b/C.FDB";
    QTest::addRow("double quotes")
        << QByteArray("[BANCO]\nCAMINHO=\"  /q/A.FDB \"\n") << "  /q/A.FDB ";
    QTest::addRow("single quotes") << QByteArray("[BANCO]\nCAMINHO='/q/A.FDB'\n") << "/q/A.FDB";
    QTest::addRow("one quote only kept")
        << QByteArray("[BANCO]\nCAMINHO=\"/q/A.FDB\n") << "\"/q/A.FDB";
    QTest::addRow("missing key") << QByteArray("[BANCO]\nOUTRO=1\n") << "";
    QTest::addRow("key in another section")
        << QByteArray("[OUTRA]\nCAMINHO=/no\n[BANCO]\nX=1\n") << "";
    QTest::addRow("missing section") << QByteArray("CAMINHO=/no\n") << "";
    QTest::addRow("empty value") << QByteArray("[BANCO]\nCAMINHO=\n") << "";
    QTest::addRow("first of two keys") << QByteArray("[BANCO]\nCAMINHO=/1\nCAMINHO=/2\n") << "/1";
    QTest::addRow("Windows-1252 text")
        << QByteArray("[BANCO]\nCAMINHO=/S\xE3o Paulo\n") << QStringLiteral("/São Paulo");
    QTest::addRow("UTF-8 text") << QByteArray("[BANCO]\nCAMINHO=/home/jo\xC3\xA3o\n")
                                << QStringLiteral("/home/joão");
    QTest::addRow("UTF-8 text with a byte-order mark")
        << QByteArray("\xEF\xBB\xBF[BANCO]\nCAMINHO=/home/jo\xC3\xA3o\n")
        << QStringLiteral("/home/joão");
    QTest::addRow("2047 characters kept")
        << QByteArray("[BANCO]\nCAMINHO=") + QByteArray(3000, 'a') + "\n"
        << QString(2047, u'a');
}

void TestPrivateProfile::readsLikeThePlatform()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BaseAgenda.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QTEST(readPrivateProfileString(path, QStringLiteral("BANCO"), QStringLiteral("CAMINHO")),
          "expected");
}

void TestPrivateProfile::missingFileGivesTheDefault()
{
    QCOMPARE(readPrivateProfileString(QStringLiteral("/no/such/file.ini"), QStringLiteral("A"),
                                      QStringLiteral("B"), QStringLiteral("d")),
             QStringLiteral("d"));
}

QTEST_GUILESS_MAIN(TestPrivateProfile)
#include "tst_privateprofile.moc"
