#include "support/ApplicationTestMain.h"
#include "widgets/Controls.h"

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStyleFactory>

#include <algorithm>
#include <functional>
#include <memory>

// The program's style draws edit panels and group box frames from kept pictures; what it
// paints must be what the desktop's style paints, for every look a control can take.
class TestPanelCache : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void paintsWhatTheStylePaints_data();
    void paintsWhatTheStylePaints();
};

namespace {

using Setup = std::function<QWidget*()>;

QImage painted(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Pixels that differ by more than the rounding of blending a picture on its own first: one
// step in a channel.
int pixelsApart(const QImage& one, const QImage& other)
{
    int apart = 0;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x) {
            const QRgb a = one.pixel(x, y);
            const QRgb b = other.pixel(x, y);
            const int most =
                std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                          std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            apart += most > 1 ? 1 : 0;
        }
    }
    return apart;
}

QWidget* lineEdit(int width, const std::function<void(QLineEdit*)>& change = {})
{
    auto* edit = new QLineEdit(QStringLiteral("Maria da Silva"));
    edit->resize(width, 21);
    if (change)
        change(edit);
    return edit;
}

QWidget* groupBox(const QString& title, bool checkable, QSize size)
{
    auto* box = new QGroupBox(title);
    box->setCheckable(checkable);
    box->resize(size);
    return box;
}

} // namespace

void TestPanelCache::cleanup()
{
    qApp->setStyleSheet(QString());
}

void TestPanelCache::paintsWhatTheStylePaints_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("skin");

    QTest::newRow("edit") << Setup([] { return lineEdit(150); }) << QString();
    QTest::newRow("wide edit") << Setup([] { return lineEdit(543); }) << QString();
    QTest::newRow("read-only edit")
        << Setup([] { return lineEdit(150, [](QLineEdit* e) { e->setReadOnly(true); }); })
        << QString();
    QTest::newRow("disabled edit")
        << Setup([] { return lineEdit(150, [](QLineEdit* e) { e->setEnabled(false); }); })
        << QString();
    QTest::newRow("edit without frame")
        << Setup([] { return lineEdit(150, [](QLineEdit* e) { e->setFrame(false); }); })
        << QString();
    QTest::newRow("edit in another palette") << Setup([] {
        return lineEdit(150, [](QLineEdit* e) {
            QPalette colours = e->palette();
            colours.setColor(QPalette::Base, Qt::yellow);
            e->setPalette(colours);
        });
    }) << QString();
    QTest::newRow("group box") << Setup([] {
        return groupBox(QStringLiteral("Dados"), false, {628, 260});
    }) << QString();
    QTest::newRow("group box without title") << Setup([] {
        return groupBox({}, false, {300, 120});
    }) << QString();
    QTest::newRow("checkable group box") << Setup([] {
        return groupBox(QStringLiteral("Dados"), true, {300, 120});
    }) << QString();
    QTest::newRow("edit under a skin")
        << Setup([] { return lineEdit(150); }) << QStringLiteral("Escuro.skn");
    QTest::newRow("group box under a skin") << Setup([] {
        return groupBox(QStringLiteral("Dados"), false, {300, 120});
    }) << QStringLiteral("Contraste.skn");
}

void TestPanelCache::paintsWhatTheStylePaints()
{
    QFETCH(Setup, setup);
    QFETCH(QString, skin);

    const auto* programStyle = qobject_cast<const QProxyStyle*>(qApp->style());
    QVERIFY(programStyle);
    std::unique_ptr<QStyle> desktopStyle(QStyleFactory::create(programStyle->baseStyle()->name()));
    QVERIFY(desktopStyle);
    if (!skin.isEmpty()) {
        QFile sheet(QStringLiteral(TARVO_SOURCE_DIR "/data/Skins/") + skin);
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    }
    std::unique_ptr<QWidget> kept(setup());
    std::unique_ptr<QWidget> plain(setup());
    plain->setStyle(desktopStyle.get());

    // Twice: once drawn into the picture, once from it.
    for (int time = 0; time < 2; ++time) {
        const QImage drawn = painted(kept.get());
        QCOMPARE(drawn.size(), plain->size());
        QCOMPARE(pixelsApart(drawn, painted(plain.get())), 0);
    }
}

TARVO_APPLICATION_TEST_MAIN(TestPanelCache)
#include "tst_panelcache.moc"
