#include "LcUnit.h"
#include "U_DM.h"
#include "U_Funcoes.h"
#include "U_Mapa.h"
#include "platform/AppFolder.h"
#include "support/AgendaFixture.h"
#include "support/BoxAnswerer.h"
#include "widgets/Application.h"
#include "widgets/WebBrowser.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {

// The map service's objects as far as the page uses them, each call written down.
const char* const kStandIn = R"(
var calls = [];
var google = { maps: {
  Geocoder: function() {
    this.geocode = function(request, answer) {
      calls.push('geocode:' + request.address);
      answer([{ geometry: { location: 'here' } }], 'OK');
    };
  },
  LatLng: function(lat, lng) {},
  Map: function(element, options) {
    calls.push('map:' + options.zoom);
    this.setZoom = function(zoom) { calls.push('zoom:' + zoom); };
    this.setCenter = function(centre) {};
  },
  MapTypeId: { ROADMAP: 'roadmap' },
  GeocoderStatus: { OK: 'OK' },
  Marker: function(options) { calls.push('marker:' + options.title + '|' + options.icon); },
  InfoWindow: function(options) { calls.push('bubble:' + options.content); },
  Size: function(width, height) {},
  event: { addListener: function() {} }
} };
)";

} // namespace

// The map page and window on a fresh database, the map service stood in for by a local script.
class TestMapa : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void foldingReplacesTheUsualAccents_data();
    void foldingReplacesTheUsualAccents();
    void thePageFollowsItsLineTable();
    void contactValuesCannotBreakThePage();
    void theWindowShowsTheContactAndLeavesNoFileBehind();
    void buttonsBeforeThePageHasLoadedDoNothing();
    void aPageThatCannotBeWrittenIsReported();

private:
    void addContact(int code, const QString& name, const QString& address, const QString& city);
    TFrmMapa* openWindow(qint64 code);
    // Waits for the page and returns what the stand-in was asked, in order.
    QStringList callsAfterLoading(TFrmMapa& window);
    static QStringList calls(TFrmMapa& window);

    std::unique_ptr<AgendaFixture> agenda_;
    std::unique_ptr<TFrmMapa> window_;
};

void TestMapa::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    QFile standIn(applicationFolder() + QStringLiteral("/standin.js"));
    QVERIFY(standIn.open(QIODevice::WriteOnly));
    standIn.write(kStandIn);
    QFile startup(applicationFolder() + QStringLiteral("/BaseAgenda.ini"));
    QVERIFY(startup.open(QIODevice::WriteOnly));
    startup.write("[Mapa]\nCarregador=" + QUrl::fromLocalFile(standIn.fileName()).toEncoded() +
                  "\n");
}

void TestMapa::cleanup()
{
    window_.reset();
    agenda_.reset();
}

void TestMapa::addContact(int code, const QString& name, const QString& address,
                          const QString& city)
{
    agenda_->addContact({{QStringLiteral("AGE_CODIGO"), code},
                         {QStringLiteral("AGE_NOME"), name},
                         {QStringLiteral("AGE_ENDERECO"), address},
                         {QStringLiteral("AGE_CIDADE"), city},
                         {QStringLiteral("AGE_UF"), QStringLiteral("SC")},
                         {QStringLiteral("AGE_EMAIL"), QStringLiteral("a@b.c")}});
}

TFrmMapa* TestMapa::openWindow(qint64 code)
{
    window_ = std::make_unique<TFrmMapa>();
    window_->FormCreate();
    window_->CodigoContato = code;
    window_->show();
    return window_.get();
}

QStringList TestMapa::calls(TFrmMapa& window)
{
    QStringList result;
    bool answered = false;
    window.WebBrowserMapa->runScript(QStringLiteral("calls.join('\\n')"),
                                     [&](const QVariant& value) {
                                         result = value.toString().split(u'\n');
                                         answered = true;
                                     });
    if (!QTest::qWaitFor([&] { return answered; }, 20000))
        qWarning("the page did not answer");
    return result;
}

QStringList TestMapa::callsAfterLoading(TFrmMapa& window)
{
    if (!QTest::qWaitFor([&] { return window.WebBrowserMapa->hasDocument(); }, 30000))
        qWarning("the page did not load");
    return calls(window);
}

void TestMapa::foldingReplacesTheUsualAccents_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");
    QTest::newRow("name") << "Açougue Estrela"
                          << "Acougue Estrela";
    QTest::newRow("city") << "Florianópolis"
                          << "Florianopolis";
    QTest::newRow("ordinals") << "Rua 7ª Avenida, nº 12"
                              << "Rua 7a Avenida, no 12";
    QTest::newRow("capitals") << "ÃÁÂÀÊÉÍÕÓÔÚÜÇ"
                              << "AAAAEEIOOOUUC";
    QTest::newRow("small") << "àâáãéêíõôóúüç"
                           << "aaaaeeiooouuc";
    QTest::newRow("left alone") << "èìòùëïîöûñÈÑ"
                                << "èìòùëïîöûñÈÑ";
}

void TestMapa::foldingReplacesTheUsualAccents()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(RemoverAcentos(text), folded);
}

void TestMapa::thePageFollowsItsLineTable()
{
    addContact(7, QStringLiteral("Açougue Estrela"), QStringLiteral("Rua 7ª Avenida, nº 12"),
               QStringLiteral("Florianópolis"));
    TFrmMapa* window = openWindow(7);
    QFile file(window->ArqHTML);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(!bytes.contains('\n'));
    QVERIFY(!bytes.endsWith('\r'));
    const QList<QByteArray> lines = bytes.split('\r');
    QCOMPARE(lines.size(), 88);
    QCOMPARE(lines[0], QByteArray("<html>"));
    QCOMPARE(
        lines[5],
        "<script type=\"text/javascript\" src=\"" +
            QUrl::fromLocalFile(applicationFolder() + QStringLiteral("/standin.js")).toEncoded() +
            "\"></script>");
    QCOMPARE(lines[20], QByteArray());
    QCOMPARE(lines[28], QByteArray("      address = 'Rua Marechal Deodoro, 630, Curitiba, PR, "
                                   "80.010-010';"));
    QCOMPARE(lines[37], QByteArray("              icon: 'tarvo.png'"));
    QCOMPARE(lines[48], QByteArray("      address = 'Rua 7a Avenida, no 12, Florianopolis, SC';"));
    QCOMPARE(lines[56], QByteArray("              title: 'Acougue Estrela',"));
    QCOMPARE(lines[57], QByteArray("              icon: 'marca.png'"));
    QCOMPARE(lines[64], QByteArray("          SetMensagemPonto(marker, 1);"));
    QCOMPARE(lines[68], QByteArray("    }"));
    // The two bubbles, the company's first, the contact's cells after a blank.
    QVERIFY(lines[72].startsWith("\"<table border=1px><tr><td><b>Nome:</b></td><td>Tarvo "
                                 "Varaziru</td></tr>"));
    QVERIFY(lines[72].contains("<a href='http://www.tarvo.com.br' target='_blank'>"));
    QVERIFY(lines[72].contains("\", \"<table border=1px><tr><td><b>Nome:</b></td><td>&nbsp;"
                               "Acougue Estrela</td></tr>"));
    QVERIFY(lines[72].endsWith("</table>\"];"));
    QCOMPARE(lines[87], QByteArray("</html>"));
    QVERIFY(QFile::exists(window->ArqMarca));
    QVERIFY(QFile::exists(window->ArqTarvo));
    QCOMPARE(window->windowTitle(), QStringLiteral("Nome: Acougue Estrela"));
}

void TestMapa::contactValuesCannotBreakThePage()
{
    const QString name = QStringLiteral("O'Brien \"Bob\" \\ <b>x</b></script>");
    addContact(3, name, QStringLiteral("Rua d'Ajuda\nfundos"), QStringLiteral("Itajaí"));
    TFrmMapa* window = openWindow(3);
    const QStringList asked = callsAfterLoading(*window);

    QCOMPARE(asked.value(0), QStringLiteral("map:4"));
    QVERIFY2(asked.contains(QStringLiteral("geocode:Rua d'Ajuda")), qPrintable(asked.join(u'|')));
    QVERIFY(asked.contains(QStringLiteral("fundos, Itajai, SC")));
    QVERIFY(asked.contains(QStringLiteral("marker:Tarvo Varaziru|tarvo.png")));
    QVERIFY(asked.contains(QStringLiteral("marker:") + name + QStringLiteral("|marca.png")));
    // The bubble shows the name as text.
    const QString bubble = asked
                               .filter(QStringLiteral("bubble:<table border=1px><tr><td><b>Nome:"
                                                      "</b></td><td>&nbsp;O"))
                               .value(0);
    QVERIFY(bubble.contains(QStringLiteral("&lt;b&gt;x&lt;/b&gt;&lt;/script&gt;")));
    QVERIFY(bubble.contains(QStringLiteral("O&#39;Brien &quot;Bob&quot; \\ ")));

    // The start zoom a second after showing (started again here: the engine's first start may
    // take longer than that), then the two views.
    QCOMPARE(window->TimerInicio->interval(), 1000);
    QVERIFY(window->TimerInicio->isSingleShot());
    window->TimerInicio->start();
    QVERIFY(
        QTest::qWaitFor([&] { return calls(*window).contains(QStringLiteral("zoom:15")); }, 5000));
    window->BVerBrasil->click();
    QVERIFY(
        QTest::qWaitFor([&] { return calls(*window).contains(QStringLiteral("zoom:4")); }, 5000));
    window->BVerMundo->click();
    QVERIFY(
        QTest::qWaitFor([&] { return calls(*window).contains(QStringLiteral("zoom:2")); }, 5000));
}

void TestMapa::theWindowShowsTheContactAndLeavesNoFileBehind()
{
    TFrmMapa* window = openWindow(0); // no contact: the company alone
    QCOMPARE(window->windowTitle(), QStringLiteral("Nome: "));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(window->geometry(), QRect(16, 16, screen.width() - 32, screen.height() - 64));
    const QStringList asked = callsAfterLoading(*window);
    QCOMPARE(asked.filter(QStringLiteral("marker:")),
             QStringList{QStringLiteral("marker:Tarvo Varaziru|tarvo.png")});

    const QStringList files{window->ArqHTML, window->ArqMarca, window->ArqTarvo};
    for (const QString& file : files)
        QVERIFY(QFile::exists(file));
    window->close();
    for (const QString& file : files)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
}

void TestMapa::buttonsBeforeThePageHasLoadedDoNothing()
{
    BoxAnswerer answerer;
    TFrmMapa* window = openWindow(0);
    QVERIFY(!window->WebBrowserMapa->hasDocument());
    window->BVerBrasil->click();
    window->BVerMundo->click();
    const QStringList asked = callsAfterLoading(*window);
    QVERIFY(asked.filter(QStringLiteral("zoom:")).isEmpty());
    QVERIFY(answerer.boxes().isEmpty());
}

void TestMapa::aPageThatCannotBeWrittenIsReported()
{
    BoxAnswerer answerer;
    window_ = std::make_unique<TFrmMapa>();
    window_->FormCreate();
    window_->ArqHTML = applicationFolder(); // a folder: no file can be written there
    window_->show();
    QTRY_COMPARE(answerer.boxes().size(), 1);
    QVERIFY(answerer.boxes()[0].text.endsWith(applicationFolder()));
    QCOMPARE(window_->windowTitle(), QStringLiteral("Mapa"));
    QCOMPARE(window_->size(), QSize(741, 590));
}

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("TARVO_MODULE_DIR", TARVO_APP_DIR);
    Application app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestMapa test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mapa.moc"
