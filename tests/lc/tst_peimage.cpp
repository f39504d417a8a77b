#include "LcfFixture.h"
#include "platform/PeImage.h"

#include <QTest>

using namespace LcfFixture;

Q_DECLARE_METATYPE(PeMachine)

class TestPeImage : public QObject
{
    Q_OBJECT

private slots:
    void findsRecordByName_data();
    void findsRecordByName();
    void damagedImage_data();
    void damagedImage();
    void readsFile();
};

void TestPeImage::findsRecordByName_data()
{
    QTest::addColumn<PeMachine>("machine");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("expected"); // null: not found

    for (const auto& [machine, tag] :
         {std::pair(PeMachine::I386, "PE32"), std::pair(PeMachine::Amd64, "PE32+")}) {
        QTest::addRow("%s upper case", tag) << machine << "LCHEADER" << QByteArray("header");
        QTest::addRow("%s asked in lower case", tag)
            << machine << "lcheader" << QByteArray("header");
        QTest::addRow("%s stored in lower case", tag) << machine << "lower" << QByteArray();
        QTest::addRow("%s prefix of a longer name", tag) << machine << "1000" << QByteArray("a");
        QTest::addRow("%s longer name", tag) << machine << "10000" << QByteArray("bb");
        QTest::addRow("%s empty resource", tag) << machine << "EMPTY" << QByteArray("");
        QTest::addRow("%s absent", tag) << machine << "100" << QByteArray();
    }
}

void TestPeImage::findsRecordByName()
{
    QFETCH(PeMachine, machine);
    QFETCH(QString, name);
    QFETCH(QByteArray, expected);

    const QMap<QString, QByteArray> records = {
        {"LCHEADER", "header"}, {"1000", "a"}, {"10000", "bb"}, {"EMPTY", ""}, {"lower", "z"}};
    const std::optional<PeImage> image = PeImage::fromBytes(library(records, machine));
    QVERIFY(image);
    const std::optional<QByteArrayView> data = image->rcData(name);
    QCOMPARE(data.has_value(), !expected.isNull());
    if (data)
        QCOMPARE(data->toByteArray(), expected);
}

void TestPeImage::damagedImage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<bool>("found"); // the record LCHEADER can be read

    const QByteArray valid = library({{"LCHEADER", "header"}});
    const Layout at = layoutOf(valid);
    const auto damaged = [&](qint64 offset, quint32 value) {
        return patched(valid, offset, value);
    };

    QTest::addRow("intact") << valid << true << true;
    QTest::addRow("empty file") << QByteArray() << false << false;
    QTest::addRow("text file") << QByteArray("LCHEADER, but not a library\n") << false << false;
    QTest::addRow("truncated in the DOS header") << valid.left(0x3e) << false << false;
    QTest::addRow("truncated in the optional header")
        << valid.left(at.optionalHeader + 50) << false << false;
    QTest::addRow("truncated in the section table")
        << valid.left(at.sectionTable + 20) << false << false;
    QTest::addRow("truncated in the resource directory")
        << valid.left(at.rsrc + 20) << false << false;
    QTest::addRow("PE header past the end") << damaged(0x3c, valid.size()) << false << false;
    QTest::addRow("PE header offset at 4 GiB") << damaged(0x3c, 0xfffffffc) << false << false;
    QTest::addRow("unknown optional header")
        << damaged(at.optionalHeader, 0x1234) << false << false;
    QTest::addRow("section table past the end")
        << damaged(at.optionalHeader - 20, 0xffff0000 | 0x014c) << false << false;
    QTest::addRow("section data past the end")
        << damaged(at.sectionTable + 20, 0x7ffffff0) << false << false;
    QTest::addRow("resource directory outside the section")
        << damaged(at.resourceDirectory, 0x7fff0000) << false << false;
    QTest::addRow("resource directory larger than the section")
        << damaged(at.resourceDirectory + 4, 0xffffffff) << false << false;
    QTest::addRow("no resource directory") << damaged(at.resourceDirectory, 0) << true << false;
    QTest::addRow("no room for a resource directory")
        << damaged(at.optionalHeader + 92, 2) << true << false;
    QTest::addRow("record data outside every section")
        << damaged(at.dataEntry, 0x7fff0000) << true << false;
    QTest::addRow("record size past the end")
        << damaged(at.dataEntry + 4, 0xfffffff0) << true << false;
    QTest::addRow("name string past the end")
        << damaged(at.nameDirectory + 16, 0x80000000 | 0x7ffffff0) << true << false;
    QTest::addRow("name directory entries past the end")
        << damaged(at.nameDirectory + 12, 0xffffffff) << true << true;
    QTest::addRow("type entry leading back to the root")
        << damaged(at.rsrc + 20, 0x80000000) << true << false;
    QTest::addRow("language entry leading back to the names")
        << damaged(at.languageDirectory + 20, 0x80000000 | (at.nameDirectory - at.rsrc)) << true
        << false;
    QTest::addRow("name entry pointing at data, not a directory")
        << damaged(at.nameDirectory + 20, at.dataEntry - at.rsrc) << true << false;
}

// A damaged image either does not load or reads as having no such record; looking for one it
// does not have walks the whole damaged directory without reading past it or looping.
void TestPeImage::damagedImage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    QFETCH(bool, found);

    const std::optional<PeImage> image = PeImage::fromBytes(bytes);
    QCOMPARE(image.has_value(), loads);
    if (image) {
        QCOMPARE(image->rcData("LCHEADER").has_value(), found);
        QVERIFY(!image->rcData("ABSENT"));
    }
}

void TestPeImage::readsFile()
{
    Files files;
    const std::optional<PeImage> image = PeImage::load(files.write(library({{"A", "x"}})));
    QVERIFY(image);
    QCOMPARE(image->rcData("A")->toByteArray(), QByteArray("x"));
    QVERIFY(!PeImage::load(files.write({}) + ".missing"));
}

QTEST_GUILESS_MAIN(TestPeImage)
#include "tst_peimage.moc"
