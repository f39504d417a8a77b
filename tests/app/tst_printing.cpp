#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_DM.h"
#include "platform/AppFolder.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "report/TemplateReader.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"
#include "support/PreviewWatcher.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// The contact printouts of the main window, from a real database and the shipped templates,
// saved as PDF from the print preview and read back with pdftotext.
class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void shippedTemplatesAllLoad();
    void damagedTemplatesAreRefusedWithTheirLine_data();
    void damagedTemplatesAreRefusedWithTheirLine();
    void theListPrintsExactlyWhatTheGridHolds();
    void everyPageHasItsNumberAndTheDate();
    void labelsSitOnTheSheetAtItsPitch();
    void guardsSpeakTheLanguageOfTheIndex_data();
    void guardsSpeakTheLanguageOfTheIndex();
    void templatesAreChosenByTheIndexAtThatMoment_data();
    void templatesAreChosenByTheIndexAtThatMoment();
    void aMissingOrDamagedTemplatePrintsNothing();

private:
    void addContact(const QString& name, const QString& address, const QString& city);
    TFrmAgenda* showWindow();
    void search(const QString& text);
    // Picks a menu item as a person does: its errors reach the error box.
    static void choose(QAction* item);
    // The PDF's text, page by page; -bbox gives each word's place instead.
    static QStringList pdfPages(const QString& pdf);
    static QString pdfWords(const QString& pdf);

    std::unique_ptr<AgendaFixture> agenda_;
    std::unique_ptr<TFrmAgenda> window_;
    QTemporaryDir output_;
    int contacts_ = 0;
};

void TestPrinting::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
    AgendaFixture::installReportTemplates();
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), 2);
    Clock::setNow(QDateTime(QDate(2026, 3, 14), QTime(9, 26)));
    contacts_ = 0;
}

void TestPrinting::cleanup()
{
    window_.reset();
    Application::destroyAdoptedWindows();
    UnloadLanguage();
    agenda_.reset();
    Clock::setNow(std::nullopt);
}

void TestPrinting::addContact(const QString& name, const QString& address, const QString& city)
{
    agenda_->addContact({{QStringLiteral("AGE_CODIGO"), ++contacts_},
                         {QStringLiteral("AGE_NOME"), name},
                         {QStringLiteral("AGE_ENDERECO"), address},
                         {QStringLiteral("AGE_BAIRRO"), QStringLiteral("CENTRO")},
                         {QStringLiteral("AGE_CIDADE"), city},
                         {QStringLiteral("AGE_UF"), QStringLiteral("PR")},
                         {QStringLiteral("AGE_CEP"), QStringLiteral("80.000-000")}});
}

TFrmAgenda* TestPrinting::showWindow()
{
    window_.reset(CreateForm<TFrmAgenda>());
    window_->show();
    return window_.get();
}

void TestPrinting::search(const QString& text)
{
    window_->EdPesquisa->setFocus();
    QTest::keyClicks(window_->EdPesquisa, text);
}

void TestPrinting::choose(QAction* item)
{
    bool done = false;
    QTimer::singleShot(0, item, [item, &done] {
        const struct Done
        {
            bool& done;
            ~Done() { done = true; }
        } mark{done};
        item->trigger();
    });
    QVERIFY(QTest::qWaitFor([&done] { return done; }, 60000));
}

QStringList TestPrinting::pdfPages(const QString& pdf)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.waitForFinished();
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString TestPrinting::pdfWords(const QString& pdf)
{
    QProcess words;
    words.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    words.waitForFinished();
    return QString::fromUtf8(words.readAllStandardOutput());
}

void TestPrinting::shippedTemplatesAllLoad()
{
    const QDir folder(applicationFolder() + QStringLiteral("/Relatorios"));
    const QStringList names = folder.entryList({QStringLiteral("*.rtm")});
    QCOMPARE(names.size(), 8);
    for (const QString& name : names) {
        const report::Definition definition = report::readTemplate(folder.filePath(name));
        QVERIFY2(definition.band(report::Band::Kind::Detail), qPrintable(name));
        // Every list is A4 landscape with the margins of the reference layout.
        if (!name.contains(QStringLiteral("Etiqueta"))) {
            QCOMPARE(definition.orientation, QPageLayout::Landscape);
            QCOMPARE(definition.margins, QMarginsF(6.35, 6.35, 6.35, 6.35));
        }
    }
}

void TestPrinting::damagedTemplatesAreRefusedWithTheirLine_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QByteArray band = "band type=detail height=4\n";
    QTest::newRow("unknown keyword") << band + "picture left=0 top=0 width=1 height=1\n"
                                     << "line 2: 'picture' is not understood here";
    QTest::newRow("unknown attribute") << band + "label left=0 top=0 width=1 height=1 colour=red\n"
                                       << "line 2: 'colour' is not understood here";
    QTest::newRow("not a number") << band + "label left=1,5 top=0 width=1 height=1\n"
                                  << "line 2: '1,5' is not a valid value for left";
    QTest::newRow("open quote") << band + "label left=0 top=0 width=1 height=1 text=\"Nome\n"
                                << "line 2: a quoted text is not closed";
    QTest::newRow("element first") << QByteArray("label left=0 top=0 width=1 height=1\n")
                                   << "line 1: an element comes before any band";
    QTest::newRow("no detail") << QByteArray("# nothing\nband type=title height=3\n")
                               << "line 3: band type=detail is missing";
    QTest::newRow("field without name") << band + "field left=0 top=0 width=1 height=1\n"
                                        << "line 2: name is missing";
    QTest::newRow("bad colour") << band + "line left=0 top=0 width=1 height=1 color=nosuch\n"
                                << "line 2: 'nosuch' is not a valid value for color";
    QTest::newRow("binary") << band + QByteArray("label text=\"\xff\xfe\"\n")
                            << "line 2: the text is not UTF-8";
}

void TestPrinting::damagedTemplatesAreRefusedWithTheirLine()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    const QString file = output_.filePath(QStringLiteral("broken.rtm"));
    try {
        report::parseTemplate(text, file);
        QFAIL("a damaged template was read");
    } catch (const Error& refused) {
        QCOMPARE(refused.message(), QStringLiteral("Report template %1, %2").arg(file, error));
    }
}

void TestPrinting::theListPrintsExactlyWhatTheGridHolds()
{
    for (const char* name : {"SILVA, ANA", "SOUZA, BIA", "SILVANO, CAIO", "SILVEIRA, DORA"})
        addContact(QString::fromLatin1(name), QStringLiteral("RUA XV, 10"),
                   QStringLiteral("CURITIBA"));
    BoxAnswerer answerer;
    PreviewWatcher previews;
    const QString list = output_.filePath(QStringLiteral("list.pdf"));
    const QString labels = output_.filePath(QStringLiteral("labels.pdf"));
    previews.saveAs({list, labels});
    TFrmAgenda* window = showWindow();
    search(QStringLiteral("SILV"));
    QCOMPARE(DM->Q_Agenda.recordCount(), 3);
    DM->Q_Agenda.moveTo(1);

    choose(window->RelaodeNomes1);
    choose(window->Etiquetas1);
    QCOMPARE(previews.previews(), 2);
    QVERIFY(answerer.boxes().isEmpty());
    // Printing moved nothing the window shows.
    QCOMPARE(DM->Q_Agenda.currentIndex(), 1);

    const QStringList pages = pdfPages(list);
    QCOMPARE(pages.size(), 1);
    const QRegularExpression names(QStringLiteral("(S[A-Z]+, [A-Z]+)"));
    QStringList printed;
    for (auto match = names.globalMatch(pages.first()); match.hasNext();)
        printed << match.next().captured(1);
    QCOMPARE(printed, (QStringList{"SILVA, ANA", "SILVANO, CAIO", "SILVEIRA, DORA"}));
    for (const char* caption : {"RELAÇÃO GERAL", "Endereço", "Data Nasc.", "CURITIBA"})
        QVERIFY2(pages.first().contains(QString::fromUtf8(caption)), caption);

    const QString labelText = pdfPages(labels).join(QString());
    QCOMPARE(labelText.count(QStringLiteral("CURITIBA - PR")), 3);
    QCOMPARE(labelText.count(QStringLiteral("CEP:")), 3);
    QVERIFY(!labelText.contains(QStringLiteral("SOUZA")));
}

void TestPrinting::everyPageHasItsNumberAndTheDate()
{
    for (int i = 0; i < 100; ++i)
        addContact(QStringLiteral("CONTATO %1").arg(i, 3, 10, QLatin1Char('0')),
                   QStringLiteral("RUA %1").arg(i), QStringLiteral("LONDRINA"));
    PreviewWatcher previews;
    const QString list = output_.filePath(QStringLiteral("long.pdf"));
    previews.saveAs({list});
    TFrmAgenda* window = showWindow();
    choose(window->RelaodeNomes1);

    const QStringList pages = pdfPages(list);
    QCOMPARE(pages.size(), 3);
    for (int page = 0; page < pages.size(); ++page) {
        QVERIFY(pages[page].contains(
            QRegularExpression(QStringLiteral("Página:\\s+%1\\s*$").arg(page + 1),
                               QRegularExpression::MultilineOption)));
        QVERIFY(pages[page].contains(QStringLiteral("14/03/2026 09:26")));
    }
    // Every contact once, the last on the last page.
    QCOMPARE(pages.join(QString()).count(QStringLiteral("LONDRINA")), 100);
    QVERIFY(pages.last().contains(QStringLiteral("CONTATO 099")));
}

void TestPrinting::labelsSitOnTheSheetAtItsPitch()
{
    for (const char* name : {"ALFA", "BRAVO", "CHARLIE", "DELTA"})
        addContact(QString::fromLatin1(name), QStringLiteral("RUA A"), QStringLiteral("MARINGA"));
    BoxAnswerer answerer;
    PreviewWatcher previews;
    const QString labels = output_.filePath(QStringLiteral("sheet.pdf"));
    previews.saveAs({labels});
    TFrmAgenda* window = showWindow();
    choose(window->Etiquetas1);

    QVERIFY(answerer.boxes().isEmpty());
    // Each name's corner in points: 3 across at 66.04 mm, then the next row at 38.1 mm.
    const QString words = pdfWords(labels);
    QHash<QString, QPointF> corner;
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>(ALFA|BRAVO|CHARLIE|DELTA)</word>"));
    for (auto match = word.globalMatch(words); match.hasNext();) {
        const auto found = match.next();
        corner.insert(found.captured(3),
                      QPointF(found.captured(1).toDouble(), found.captured(2).toDouble()));
    }
    QCOMPARE(corner.size(), 4);
    const double millimetre = 72 / 25.4;
    QVERIFY(qAbs(corner["BRAVO"].x() - corner["ALFA"].x() - 66.04 * millimetre) < 0.5);
    QVERIFY(qAbs(corner["CHARLIE"].x() - corner["BRAVO"].x() - 66.04 * millimetre) < 0.5);
    QVERIFY(qAbs(corner["BRAVO"].y() - corner["ALFA"].y()) < 0.5);
    QVERIFY(qAbs(corner["DELTA"].x() - corner["ALFA"].x()) < 0.5);
    QVERIFY(qAbs(corner["DELTA"].y() - corner["ALFA"].y() - 38.1 * millimetre) < 0.5);
    // Inside the first label of the sheet: its border is 7.21 mm at the side, 15.15 mm on top.
    QVERIFY(corner["ALFA"].x() > 7.21 * millimetre && corner["ALFA"].x() < 15 * millimetre);
    QVERIFY(corner["ALFA"].y() > 15.15 * millimetre && corner["ALFA"].y() < 25 * millimetre);
}

void TestPrinting::guardsSpeakTheLanguageOfTheIndex_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("messages"); // "Relação" then "Etiquetas"
    QTest::newRow("0") << 0
                       << QStringList{"No hay contacto registrado", "No hay contacto registrado"};
    QTest::newRow("1") << 1 << QStringList{"No contact registered", "No contact registered"};
    QTest::newRow("2") << 2
                       << QStringList{"Nenhum contato cadastrado", "Nenhum contato cadastrado"};
    QTest::newRow("3") << 3 << QStringList{};
}

void TestPrinting::guardsSpeakTheLanguageOfTheIndex()
{
    QFETCH(int, language);
    QFETCH(QStringList, messages);
    BoxAnswerer answerer;
    PreviewWatcher previews;
    TFrmAgenda* window = showWindow();
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), language);
    choose(window->RelaodeNomes1);
    choose(window->Etiquetas1);
    QStringList shown;
    for (const BoxAnswerer::Box& box : answerer.boxes())
        shown << box.text;
    QCOMPARE(shown, messages);
    QCOMPARE(previews.previews(), 0);
}

void TestPrinting::templatesAreChosenByTheIndexAtThatMoment_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("list");
    QTest::newRow("0") << 0 << "RP_Agenda-es.rtm";
    QTest::newRow("1") << 1 << "RP_Agenda-en.rtm";
    QTest::newRow("2") << 2 << "RP_Agenda-pt.rtm";
    QTest::newRow("another language") << 5 << "RP_Agenda-pt.rtm";
}

void TestPrinting::templatesAreChosenByTheIndexAtThatMoment()
{
    QFETCH(int, language);
    QFETCH(QString, list);
    addContact(QStringLiteral("ALFA"), QStringLiteral("RUA A"), QStringLiteral("MARINGA"));
    PreviewWatcher previews;
    TFrmAgenda* window = showWindow();
    // Read from the program's folder whatever the working folder.
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), language);
    choose(window->RelaodeNomes1);
    const QString listUsed = window->ppReport1.templateFileName();
    choose(window->Etiquetas1);
    const QString labelsUsed = window->ppReport1.templateFileName();
    QDir::setCurrent(before);

    const QString folder = applicationFolder() + QStringLiteral("/Relatorios/");
    QCOMPARE(listUsed, folder + list);
    QCOMPARE(labelsUsed, folder + QStringLiteral("RP_Etiqueta.rtm"));
    QCOMPARE(previews.previews(), 2);
}

void TestPrinting::aMissingOrDamagedTemplatePrintsNothing()
{
    addContact(QStringLiteral("ALFA"), QStringLiteral("RUA A"), QStringLiteral("MARINGA"));
    const QString folder = applicationFolder() + QStringLiteral("/Relatorios/");
    QVERIFY(QFile::remove(folder + QStringLiteral("RP_Etiqueta.rtm")));
    {
        // A field the contacts lack is refused at once.
        QFile list(folder + QStringLiteral("RP_Agenda-pt.rtm"));
        QVERIFY(list.open(QIODevice::Append));
        list.write("field left=0 top=0 width=9 height=3 name=AGE_APELIDO pipeline=DBPipeline1\n");
    }
    BoxAnswerer answerer;
    PreviewWatcher previews;
    TFrmAgenda* window = showWindow();
    choose(window->Etiquetas1);
    choose(window->RelaodeNomes1);

    QCOMPARE(previews.previews(), 0);
    QCOMPARE(answerer.boxes().size(), 2);
    QCOMPARE(answerer.boxes()[0].text, QStringLiteral("Arquivo não encontrado: ") + folder +
                                           QStringLiteral("RP_Etiqueta.rtm"));
    QCOMPARE(answerer.boxes()[1].text,
             QStringLiteral("Modelo de relatório %1: a fonte de dados DBPipeline1 não tem o campo "
                            "AGE_APELIDO")
                 .arg(folder + QStringLiteral("RP_Agenda-pt.rtm")));
}

TARVO_APPLICATION_TEST_MAIN(TestPrinting)
#include "tst_printing.moc"
