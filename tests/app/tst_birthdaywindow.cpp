#include "U_Aniversariantes.h"
#include "U_DM.h"
#include "U_FormBase.h"
#include "U_Funcoes.h"
#include "db/Statement.h"
#include "platform/AppFolder.h"
#include "platform/Error.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"
#include "support/PreviewWatcher.h"

#include <QDateTimeEdit>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

// A contact as the birthday list sees it.
struct Contato
{
    QString nome;
    QDate nascimento;
    QString cidade = {};
    QString uf = {};
};
using Contatos = QList<Contato>;
Q_DECLARE_METATYPE(Contatos)

namespace {

// A birth date on the day `days` from today, in a year long past with the same leap rule.
QDate bornOn(int days)
{
    return QDate::currentDate().addDays(days).addYears(-28);
}

} // namespace

class TestBirthdayWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void designTexts();
    void initialPeriodAndPickers();
    void tabOrderStartsAtTheGrid();
    void behavesLikeADialog();
    void openedWithTodaysBirthdays_data();
    void openedWithTodaysBirthdays();
    void visualizarWithTheInitialPeriodListsToday();
    void listedByMonthAndDay_data();
    void listedByMonthAndDay();
    void bothPrintoutsOpenAPreviewWithTheirTemplates();
    void cityAndState_data();
    void cityAndState();
    void refusedQueryLeavesNoWindow();
    void centredOnShowAndReleasedByFechar();
    void everyOpeningStartsAgain();

private:
    void addContacts(const Contatos& contatos);
    void setLanguageIndex(int index);
    TFrmAniversariantes* createWindow();
    static QStringList listedNames(TFrmAniversariantes& window);
    static QStringList listedInDayOrder(TFrmAniversariantes& window);
    static void choosePeriod(TFrmAniversariantes& window, QDate from, QDate to);

    std::unique_ptr<AgendaFixture> agenda_;
    QPointer<TFrmAniversariantes> window_;
};

void TestBirthdayWindow::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    setLanguageIndex(3); // no messages unless a test asks for them
}

void TestBirthdayWindow::cleanup()
{
    delete window_;
    agenda_.reset();
}

void TestBirthdayWindow::addContacts(const Contatos& contatos)
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    int code = 0;
    for (const Contato& contato : contatos) {
        Statement insert(
            transaction,
            QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME, AGE_DATANASC, "
                           "AGE_CIDADE, AGE_UF) values (:C, :N, :D, :CI, :UF)"));
        insert.setParameter(QStringLiteral("C"), ++code);
        insert.setParameter(QStringLiteral("N"), contato.nome);
        insert.setParameter(QStringLiteral("D"), contato.nascimento.isValid()
                                                     ? QVariant(contato.nascimento.startOfDay())
                                                     : QVariant());
        insert.setParameter(QStringLiteral("CI"),
                            contato.cidade.isNull() ? QVariant() : QVariant(contato.cidade));
        insert.setParameter(QStringLiteral("UF"),
                            contato.uf.isNull() ? QVariant() : QVariant(contato.uf));
        insert.execute();
    }
    transaction.commit();
}

void TestBirthdayWindow::setLanguageIndex(int index)
{
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), index);
}

TFrmAniversariantes* TestBirthdayWindow::createWindow()
{
    window_ = CreateForm<TFrmAniversariantes>();
    return window_;
}

QStringList TestBirthdayWindow::listedNames(TFrmAniversariantes& window)
{
    DataSet& query = window.Q_Relatorio;
    query.fetchAll();
    QStringList names;
    const int column = query.fieldByName(QStringLiteral("AGE_NOME")).index();
    for (int row = 0; row < query.recordCount(); ++row)
        names << query.value(row, column).toString();
    // What the grid shows is what the query holds.
    QAbstractItemModel* model = window.DBGrid1->model();
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row)
        shown << model->index(row, 0).data().toString();
    if (shown != names)
        qWarning() << "the grid shows" << shown << "the query holds" << names;
    return names;
}

// The names listed, those of a run of rows with the same birthday in alphabetical order: the
// database may give such rows in any order.
QStringList TestBirthdayWindow::listedInDayOrder(TFrmAniversariantes& window)
{
    QStringList names = listedNames(window);
    DataSet& query = window.Q_Relatorio;
    const auto birthday = [&](int row) {
        const QDate date = query.value(row, 0).toDateTime().date();
        return std::pair(date.month(), date.day());
    };
    for (int start = 0; start < names.size();) {
        int end = start + 1;
        while (end < names.size() && birthday(end) == birthday(start))
            ++end;
        std::sort(names.begin() + start, names.begin() + end);
        start = end;
    }
    return names;
}

// The dates as the user picks them; the time of day stays the picker's.
void TestBirthdayWindow::choosePeriod(TFrmAniversariantes& window, QDate from, QDate to)
{
    window.DTDataInicio->setDate(from);
    window.DTDataFim->setDate(to);
}

void TestBirthdayWindow::designTexts()
{
    // Read as the translation engine reads them: by component name and published property.
    TFrmAniversariantes* window = createWindow();
    const QList<std::tuple<QString, const char*, QString>> texts = {
        {QStringLiteral("FrmAniversariantes"), "Caption",
         QStringLiteral("Relação de Aniversariantes")},
        {QStringLiteral("GroupBox1"), "Caption", QStringLiteral(" Período: ")},
        {QStringLiteral("Label1"), "Caption", QStringLiteral("De:")},
        {QStringLiteral("Label2"), "Caption", QStringLiteral("a:")},
        {QStringLiteral("PNGButton1"), "Caption", QStringLiteral("Visualizar")},
        {QStringLiteral("BRelacao"), "Caption", QStringLiteral("Imprimir relação")},
        {QStringLiteral("BEtiquetas"), "Caption", QStringLiteral("Imprimir etiquetas")},
        {QStringLiteral("BitBtn3"), "Caption", QStringLiteral("Fechar")},
    };
    for (const auto& [name, property, text] : texts) {
        QObject* component =
            window->objectName() == name ? window : window->findChild<QObject*>(name);
        QVERIFY2(component, qPrintable(name));
        QCOMPARE(component->property(property).toString(), text);
    }

    const QList<GridColumn*> columns = window->DBGrid1->columnList();
    QCOMPARE(columns.size(), 2);
    QCOMPARE(columns.at(0)->fieldName(), QStringLiteral("AGE_NOME"));
    QCOMPARE(columns.at(0)->title()->caption(), QStringLiteral("Nome"));
    QCOMPARE(columns.at(0)->width(), 252);
    QCOMPARE(columns.at(1)->fieldName(), QStringLiteral("AGE_DATANASC"));
    QCOMPARE(columns.at(1)->title()->caption(), QStringLiteral("Data Nasc."));
    QCOMPARE(columns.at(1)->width(), 98);

    window->show();
    QCOMPARE(window->size(), QSize(400, 262));
    QCOMPARE(window->Panel1->geometry(), QRect(0, 0, 400, 262));
    QCOMPARE(window->DBGrid1->geometry(), QRect(8, 80, 385, 120));
    QCOMPARE(window->DTDataFim->parentWidget(), window->GroupBox1);
    QCOMPARE(window->DTDataFim->geometry(), QRect(152, 24, 89, 21));
}

void TestBirthdayWindow::initialPeriodAndPickers()
{
    const QDate today = QDate::currentDate();
    TFrmAniversariantes* window = createWindow();
    QCOMPARE(window->DTDataInicio->dateTime(), QDateTime(today, QTime(0, 0, 0)));
    QCOMPARE(window->DTDataFim->dateTime(), QDateTime(today, QTime(23, 59, 59)));
    for (QDateTimeEdit* picker : {window->DTDataInicio, window->DTDataFim}) {
        QVERIFY(picker->calendarPopup());
        QVERIFY(!(picker->displayedSections() & QDateTimeEdit::TimeSections_Mask));
    }

    // Changing the date with the keyboard leaves the time of day alone.
    window->show();
    window->DTDataFim->setFocus();
    window->DTDataFim->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(window->DTDataFim, Qt::Key_Up);
    QCOMPARE(window->DTDataFim->dateTime(), QDateTime(today.addDays(1), QTime(23, 59, 59)));
}

void TestBirthdayWindow::tabOrderStartsAtTheGrid()
{
    TFrmAniversariantes* window = createWindow();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(QApplication::focusWidget(), window->DBGrid1);
    QTest::keyClick(window->DBGrid1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window->DTDataInicio);
}

void TestBirthdayWindow::behavesLikeADialog()
{
    TFrmAniversariantes* window = createWindow();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(window->minimumSize(), window->maximumSize());

    // Tab walks the grid, the period and the buttons in the order they stand.
    QList<QWidget*> visited;
    for (int i = 0; i < 7; ++i) {
        visited << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, (QList<QWidget*>{window->DBGrid1, window->DTDataInicio, window->DTDataFim,
                                       window->PNGButton1, window->BRelacao, window->BEtiquetas,
                                       window->BitBtn3}));
    QCOMPARE(QApplication::focusWidget(), window->DBGrid1);

    // A date typed with its four-digit year.
    QVERIFY(window->DTDataInicio->displayFormat().contains(QLatin1String("yyyy")));

    QTest::keyClick(window->DBGrid1, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

void TestBirthdayWindow::openedWithTodaysBirthdays_data()
{
    QTest::addColumn<Contatos>("contatos");
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("messages"); // of "Imprimir relação" and "Imprimir etiquetas"

    const Contato today{QStringLiteral("Hoje"), bornOn(0)};
    const Contato tomorrow{QStringLiteral("Amanha"), bornOn(1)};
    QTest::newRow("a birthday today")
        << Contatos{today, tomorrow} << 2 << QStringList{QStringLiteral("Hoje")} << QStringList{};
    QTest::newRow("none today, Portuguese")
        << Contatos{tomorrow} << 2 << QStringList{}
        << QStringList{QStringLiteral("Não há aniversariantes neste período"),
                       QStringLiteral("Nenhum contato cadastrado")};
    QTest::newRow("none today, no language")
        << Contatos{tomorrow} << 3 << QStringList{} << QStringList{};
}

void TestBirthdayWindow::openedWithTodaysBirthdays()
{
    QFETCH(Contatos, contatos);
    QFETCH(int, language);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, messages);

    addContacts(contatos);
    setLanguageIndex(language);
    BoxAnswerer answerer;
    AgendaFixture::installReportTemplates();
    PreviewWatcher previews;
    TFrmAniversariantes* window = createWindow();

    QCOMPARE(listedNames(*window), listed);
    window->BRelacao->click();
    window->BEtiquetas->click();

    QStringList shown;
    for (const BoxAnswerer::Box& box : answerer.boxes())
        shown << box.text;
    QCOMPARE(shown, messages);
    QCOMPARE(previews.previews(), listed.isEmpty() ? 0 : 2);
}

void TestBirthdayWindow::visualizarWithTheInitialPeriodListsToday()
{
    addContacts({{QStringLiteral("Vespera"), bornOn(-1)},
                 {QStringLiteral("Dia"), bornOn(0)},
                 {QStringLiteral("Seguinte"), bornOn(1)}});
    TFrmAniversariantes* window = createWindow();
    window->PNGButton1->click();

    QCOMPARE(listedNames(*window), QStringList{QStringLiteral("Dia")});
    // The bounds go as the pickers hold them, time of day included.
    QCOMPARE(window->Q_Relatorio.parameter(QStringLiteral("DataInicio")).toDateTime(),
             window->DTDataInicio->dateTime());
    QCOMPARE(window->Q_Relatorio.parameter(QStringLiteral("DataFim")).toDateTime(),
             window->DTDataFim->dateTime());
    QCOMPARE(window->Q_Relatorio.currentIndex(), 0);
}

void TestBirthdayWindow::listedByMonthAndDay_data()
{
    QTest::addColumn<Contatos>("contatos");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("listed");

    // Inserted out of order, so that the database's own order cannot pass for the sort.
    QTest::newRow("across the end of a year")
        << Contatos{{QStringLiteral("Natal"), QDate(1950, 12, 25)},
                    {QStringLiteral("Janeiro"), QDate(1990, 1, 5)},
                    {QStringLiteral("Dezembro"), QDate(1999, 12, 21)},
                    {QStringLiteral("Fora"), QDate(1980, 1, 11)}}
        << QDate(2010, 12, 20) << QDate(2011, 1, 10)
        << QStringList{QStringLiteral("Janeiro"), QStringLiteral("Dezembro"),
                       QStringLiteral("Natal")};
    // By full date the 1970 contact would come between the two born on 5 March.
    QTest::newRow("same day, different years")
        << Contatos{{QStringLiteral("Marco 1999"), QDate(1999, 3, 5)},
                    {QStringLiteral("Dez de marco"), QDate(1970, 3, 10)},
                    {QStringLiteral("Marco 1960"), QDate(1960, 3, 5)}}
        << QDate(2010, 3, 1) << QDate(2010, 3, 31)
        << QStringList{QStringLiteral("Marco 1960"), QStringLiteral("Marco 1999"),
                       QStringLiteral("Dez de marco")};
    QTest::newRow("identical rows listed once")
        << Contatos{{QStringLiteral("Gemeo"), QDate(2001, 8, 1)},
                    {QStringLiteral("Gemeo"), QDate(2001, 8, 1)}}
        << QDate(2010, 8, 1) << QDate(2010, 8, 1) << QStringList{QStringLiteral("Gemeo")};
}

void TestBirthdayWindow::listedByMonthAndDay()
{
    QFETCH(Contatos, contatos);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, listed);

    addContacts(contatos);
    TFrmAniversariantes* window = createWindow();
    choosePeriod(*window, from, to);
    window->PNGButton1->click();

    QCOMPARE(listedInDayOrder(*window), listed);

    // Pressed again with another period, the list follows.
    choosePeriod(*window, QDate(2010, 2, 1), QDate(2010, 2, 1));
    window->PNGButton1->click();
    QVERIFY(listedNames(*window).isEmpty());
}

void TestBirthdayWindow::bothPrintoutsOpenAPreviewWithTheirTemplates()
{
    addContacts({{QStringLiteral("Dia"), bornOn(0)}});
    setLanguageIndex(2);
    BoxAnswerer answerer;
    AgendaFixture::installReportTemplates();
    PreviewWatcher previews;
    TFrmAniversariantes* window = createWindow();
    window->PNGButton1->click();

    window->BRelacao->click();
    QCOMPARE(window->ppReport1.templateFileName(),
             applicationFolder() + QStringLiteral("/Relatorios/RP_Aniversariantes-pt.rtm"));
    window->BEtiquetas->click();
    QCOMPARE(window->ppReport1.templateFileName(),
             applicationFolder() + QStringLiteral("/Relatorios/RP_EtiquetaAniversariantes.rtm"));

    QVERIFY(answerer.boxes().isEmpty());
    QCOMPARE(previews.previews(), 2);
}

void TestBirthdayWindow::cityAndState_data()
{
    QTest::addColumn<QString>("cidade");
    QTest::addColumn<QString>("uf");
    QTest::addColumn<QString>("cidadeUf");
    QTest::newRow("both") << QStringLiteral("Porto Alegre") << QStringLiteral("RS")
                          << QStringLiteral("Porto Alegre - RS");
    QTest::newRow("neither") << QString() << QString() << QStringLiteral(" - ");
    const QString longest = QString(45, u'X');
    QTest::newRow("longest city") << longest << QStringLiteral("SP")
                                  << longest + QStringLiteral(" - SP");
}

void TestBirthdayWindow::cityAndState()
{
    QFETCH(QString, cidade);
    QFETCH(QString, uf);
    QFETCH(QString, cidadeUf);

    addContacts({{QStringLiteral("Dia"), bornOn(0), cidade, uf}});
    TFrmAniversariantes* window = createWindow();
    window->PNGButton1->click();

    QCOMPARE(window->Q_Relatorio.recordCount(), 1);
    QCOMPARE(window->Q_Relatorio.fieldByName(QStringLiteral("CIDADE_UF")).asString(), cidadeUf);
}

void TestBirthdayWindow::refusedQueryLeavesNoWindow()
{
    agenda_->dm().TB_Configuracao.close();
    agenda_->dm().Trans_Agenda.commit();
    agenda_->dm().DB_Agenda.close();
    agenda_->dm().DB_Agenda.setDatabaseName(agenda_->database().folder() +
                                            QStringLiteral("/missing/none.fdb"));

    const int windows = QApplication::topLevelWidgets().size();
    bool refused = false;
    try {
        window_ = CreateForm<TFrmAniversariantes>();
    } catch (const Error&) {
        refused = true;
    }
    QVERIFY(refused);
    QVERIFY(window_.isNull());
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
}

void TestBirthdayWindow::centredOnShowAndReleasedByFechar()
{
    TFrmAniversariantes* window = createWindow();
    window->move(0, 0);
    window->show();
    // An opener may place the window once shown; the window's own centring comes after.
    window->move(10, 10);
    QCoreApplication::processEvents();

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize frame = window->frameGeometry().size();
    QCOMPARE(window->frameGeometry().topLeft(),
             QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2));

    window->BitBtn3->click();
    QVERIFY(!window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window_.isNull());
}

void TestBirthdayWindow::everyOpeningStartsAgain()
{
    addContacts({{QStringLiteral("Dia"), bornOn(0)}});
    QList<QDateTime> seen;
    int listed = -1;
    const auto useAndClose = [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* form = qobject_cast<TFrmAniversariantes*>(widget);
            if (!form || !form->isVisible())
                continue;
            window_ = form;
            seen << form->DTDataInicio->dateTime() << form->DTDataFim->dateTime();
            listed = form->Q_Relatorio.recordCount();
            choosePeriod(*form, QDate(2011, 1, 1), QDate(2011, 12, 31));
            form->PNGButton1->click();
            form->BitBtn3->click();
        }
    };
    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, this, useAndClose);
        AbrirFormulario<TFrmAniversariantes>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // "Fechar" ended the modal showing and the window was released.
        QVERIFY(window_.isNull());
        QCOMPARE(listed, 1);
    }
    const QDateTime from(QDate::currentDate(), QTime(0, 0, 0));
    const QDateTime to(QDate::currentDate(), QTime(23, 59, 59));
    QCOMPARE(seen, (QList<QDateTime>{from, to, from, to}));
}

TARVO_APPLICATION_TEST_MAIN(TestBirthdayWindow)
#include "tst_birthdaywindow.moc"
