#include "U_Aniversariantes.h"
#include "U_DM.h"
#include "U_FormBase.h"
#include "U_Funcoes.h"
#include "db/Statement.h"
#include "platform/Error.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"

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

class TestBirthdayWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void designTexts();
    void initialPeriodAndPickers();
    void tabOrderStartsAtTheGrid();
    void openedEmptyAtCreation_data();
    void openedEmptyAtCreation();
    void visualizarWithTheInitialPeriodAsksFor29June();
    void listedByMonthAndDay_data();
    void listedByMonthAndDay();
    void rowsHandOverToPrinting();
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
    TFrmAniversariantes* window = createWindow();
    QCOMPARE(window->DTDataInicio->dateTime(), QDateTime(QDate(2010, 6, 29), QTime(0, 0, 0, 681)));
    QCOMPARE(window->DTDataFim->dateTime(), QDateTime(QDate(2010, 6, 29), QTime(23, 59, 59, 681)));
    for (QDateTimeEdit* picker : {window->DTDataInicio, window->DTDataFim}) {
        QVERIFY(picker->calendarPopup());
        QVERIFY(!(picker->displayedSections() & QDateTimeEdit::TimeSections_Mask));
    }

    // Changing the date with the keyboard leaves the time of day alone.
    window->show();
    window->DTDataFim->setFocus();
    window->DTDataFim->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(window->DTDataFim, Qt::Key_Up);
    QCOMPARE(window->DTDataFim->dateTime(), QDateTime(QDate(2010, 6, 30), QTime(23, 59, 59, 681)));
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

void TestBirthdayWindow::openedEmptyAtCreation_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("relacao");   // the message of "Imprimir relação", or none
    QTest::addColumn<QString>("etiquetas"); // the message of "Imprimir etiquetas", or none
    QTest::newRow("Portuguese") << 2 << QStringLiteral("Não há aniversariantes neste período")
                                << QStringLiteral("Nenhum contato cadastrado");
    QTest::newRow("no language") << 3 << QString() << QString();
}

void TestBirthdayWindow::openedEmptyAtCreation()
{
    QFETCH(int, language);
    QFETCH(QString, relacao);
    QFETCH(QString, etiquetas);

    // A birthday today and one on the initial date: neither is listed before "Visualizar".
    addContacts({{QStringLiteral("Hoje"), QDate::currentDate().addYears(-30)},
                 {QStringLiteral("Junho"), QDate(1980, 6, 29)}});
    setLanguageIndex(language);
    BoxAnswerer answerer;
    TFrmAniversariantes* window = createWindow();
    QSignalSpy prints(window, &TFrmAniversariantes::printRequested);

    QVERIFY(window->Q_Relatorio.isActive());
    QVERIFY(window->Q_Relatorio.parameter(QStringLiteral("DataInicio")).isNull());
    QVERIFY(window->Q_Relatorio.parameter(QStringLiteral("DataFim")).isNull());
    QVERIFY(listedNames(*window).isEmpty());

    window->BRelacao->click();
    window->BEtiquetas->click();

    QStringList shown;
    for (const BoxAnswerer::Box& box : answerer.boxes())
        shown << box.text;
    QStringList expected;
    for (const QString& text : {relacao, etiquetas}) {
        if (!text.isEmpty())
            expected << text;
    }
    QCOMPARE(shown, expected);
    QCOMPARE(prints.count(), 0);
}

void TestBirthdayWindow::visualizarWithTheInitialPeriodAsksFor29June()
{
    addContacts({{QStringLiteral("Vespera"), QDate(1990, 6, 28)},
                 {QStringLiteral("Dia"), QDate(1980, 6, 29)},
                 {QStringLiteral("Seguinte"), QDate(1970, 6, 30)},
                 {QStringLiteral("Hoje"), QDate::currentDate().addYears(-20)}});
    TFrmAniversariantes* window = createWindow();
    window->PNGButton1->click();

    const QStringList expected =
        QDate::currentDate().day() == 29 && QDate::currentDate().month() == 6
            ? QStringList{QStringLiteral("Dia"), QStringLiteral("Hoje")}
            : QStringList{QStringLiteral("Dia")};
    QCOMPARE(listedNames(*window), expected);
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

void TestBirthdayWindow::rowsHandOverToPrinting()
{
    addContacts({{QStringLiteral("Dia"), QDate(1980, 6, 29)}});
    setLanguageIndex(2);
    BoxAnswerer answerer;
    TFrmAniversariantes* window = createWindow();
    QSignalSpy prints(window, &TFrmAniversariantes::printRequested);
    window->PNGButton1->click();

    window->BRelacao->click();
    window->BEtiquetas->click();

    QVERIFY(answerer.boxes().isEmpty());
    QCOMPARE(prints.count(), 2);
    QCOMPARE(prints.at(0).at(0).value<TFrmAniversariantes::Impressao>(),
             TFrmAniversariantes::Impressao::Relacao);
    QCOMPARE(prints.at(1).at(0).value<TFrmAniversariantes::Impressao>(),
             TFrmAniversariantes::Impressao::Etiquetas);
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

    addContacts({{QStringLiteral("Dia"), QDate(1980, 6, 29), cidade, uf}});
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
    addContacts({{QStringLiteral("Dia"), QDate(1980, 6, 29)}});
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
        QCOMPARE(listed, 0);
    }
    const QDateTime from(QDate(2010, 6, 29), QTime(0, 0, 0, 681));
    const QDateTime to(QDate(2010, 6, 29), QTime(23, 59, 59, 681));
    QCOMPARE(seen, (QList<QDateTime>{from, to, from, to}));
}

TARVO_APPLICATION_TEST_MAIN(TestBirthdayWindow)
#include "tst_birthdaywindow.moc"
