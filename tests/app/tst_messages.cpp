#include "LcUnit.h"
#include "U_DM.h"
#include "U_Mensagens.h"
#include "support/AgendaFixture.h"
#include "support/BoxAnswerer.h"
#include "widgets/Application.h"

#include <QTest>

#include <memory>

// The built-in messages, chosen by the language index of the configuration row as it stands,
// saved or not.
class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void saveQuestion_data();
    void saveQuestion();
    void boxesBelongToTheModalWindow();
    void deleteQuestion_data();
    void deleteQuestion();
    void notices_data();
    void notices();
    void unsavedIndexAppliesAndCancelRestoresIt();
    void okButtonFollowsTheLoadedLanguage();

private:
    void setLanguageIndex(const QVariant& index);

    std::unique_ptr<AgendaFixture> agenda_;
};

void TestMessages::initTestCase()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
}

void TestMessages::cleanupTestCase()
{
    agenda_.reset();
}

// Left in the editing row: the messages read the field's current value.
void TestMessages::setLanguageIndex(const QVariant& index)
{
    DataSet& configuration = agenda_->dm().TB_Configuracao;
    configuration.edit();
    configuration.fieldByName(QStringLiteral("CFG_IDIOMA")).setValue(index);
}

void TestMessages::saveQuestion_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("buttonTexts"); // in the language of the text

    const QStringList spanish{"&Sí", "&No", "Cancelar"};
    QTest::newRow("0") << QVariant(0) << QStringLiteral("Confirmación")
                       << QStringLiteral("¿Desea guardar los cambios?") << spanish;
    QTest::newRow("1") << QVariant(1) << QStringLiteral("Confirmation")
                       << QStringLiteral("Want to save changes?")
                       << QStringList{"&Yes", "&No", "Cancel"};
    QTest::newRow("2") << QVariant(2) << QStringLiteral("Confirmação")
                       << QStringLiteral("Deseja salvar as alterações?")
                       << QStringList{"&Sim", "&Não", "Cancelar"};
    QTest::newRow("NULL") << QVariant() << QStringLiteral("Confirmación")
                          << QStringLiteral("¿Desea guardar los cambios?") << spanish;
    QTest::newRow("3") << QVariant(3) << QString() << QString() << QStringList{};
    QTest::newRow("-1") << QVariant(-1) << QString() << QString() << QStringList{};
}

void TestMessages::saveQuestion()
{
    QFETCH(QVariant, index);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(QStringList, buttonTexts);
    setLanguageIndex(index);

    const std::pair<QMessageBox::StandardButton, RespostaSalvar> answers[] = {
        {QMessageBox::Yes, RespostaSalvar::Yes},
        {QMessageBox::No, RespostaSalvar::No},
        {QMessageBox::Cancel, RespostaSalvar::Cancel},
    };
    for (const auto& [button, answer] : answers) {
        BoxAnswerer answerer(button);
        const RespostaSalvar got = PerguntarSalvarAlteracoes();
        if (text.isEmpty()) {
            QCOMPARE(got, RespostaSalvar::NoQuestion);
            QVERIFY(answerer.boxes().isEmpty());
            continue;
        }
        QCOMPARE(got, answer);
        QCOMPARE(answerer.boxes().size(), 1);
        const BoxAnswerer::Box& box = answerer.boxes().first();
        QCOMPARE(box.caption, caption);
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.defaultButton, QMessageBox::No);
        QStringList shown = box.buttonTexts;
        shown.sort();
        QStringList wanted = buttonTexts;
        wanted.sort();
        QCOMPARE(shown, wanted);
    }
}

// A box asked for while a modal window holds the input belongs to that window, so that no
// window manager can stack it beneath.
void TestMessages::boxesBelongToTheModalWindow()
{
    setLanguageIndex(2);
    QWidget modal;
    modal.setObjectName(QStringLiteral("Modal"));
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&modal));
    BoxAnswerer answerer(QMessageBox::No);
    ConfirmarExclusao();
    MostrarMensagem(Mensagem::MsgSemContato);
    Application::showError(QStringLiteral("x"));
    QCOMPARE(answerer.boxes().size(), 3);
    for (const BoxAnswerer::Box& box : answerer.boxes())
        QCOMPARE(box.parentName, QStringLiteral("Modal"));
}

void TestMessages::deleteQuestion_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << QVariant(0) << QStringLiteral("Seguro que quiere borrar?");
    QTest::newRow("1") << QVariant(1) << QStringLiteral("Really delete?");
    QTest::newRow("2") << QVariant(2) << QStringLiteral("Confirma a Exclusão?");
    QTest::newRow("NULL") << QVariant() << QStringLiteral("Seguro que quiere borrar?");
    QTest::newRow("3") << QVariant(3) << QString();
}

void TestMessages::deleteQuestion()
{
    QFETCH(QVariant, index);
    QFETCH(QString, text);
    setLanguageIndex(index);

    for (const QMessageBox::StandardButton button : {QMessageBox::Yes, QMessageBox::No}) {
        BoxAnswerer answerer(button);
        const bool goAhead = ConfirmarExclusao();
        // Outside 0 to 2 nothing is asked and the delete goes ahead.
        QCOMPARE(goAhead, text.isEmpty() || button == QMessageBox::Yes);
        QCOMPARE(answerer.boxes().size(), text.isEmpty() ? 0 : 1);
        if (!text.isEmpty()) {
            QCOMPARE(answerer.boxes().first().text, text);
            QCOMPARE(answerer.boxes().first().buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(answerer.boxes().first().defaultButton, QMessageBox::No);
        }
    }
}

void TestMessages::notices_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<int>("message");
    QTest::addColumn<QString>("text");

    const int birthdays = int(Mensagem::MsgSemAniversariantes);
    const int contact = int(Mensagem::MsgSemContato);
    const int connection = int(Mensagem::MsgFalhaConexao);
    const QString connectionText = QStringLiteral("Não foi possível conectar com a Base de dados");
    QTest::newRow("birthdays 0") << QVariant(0) << birthdays
                                 << QStringLiteral("No hay cumpleaños en este período");
    QTest::newRow("birthdays 1") << QVariant(1) << birthdays
                                 << QStringLiteral("No birthdays in this period");
    QTest::newRow("birthdays 2") << QVariant(2) << birthdays
                                 << QStringLiteral("Não há aniversariantes neste período");
    QTest::newRow("birthdays 3") << QVariant(3) << birthdays << QString();
    QTest::newRow("contact NULL") << QVariant() << contact
                                  << QStringLiteral("No hay contacto registrado");
    QTest::newRow("contact 1") << QVariant(1) << contact << QStringLiteral("No contact registered");
    QTest::newRow("contact 2") << QVariant(2) << contact
                               << QStringLiteral("Nenhum contato cadastrado");
    QTest::newRow("contact -1") << QVariant(-1) << contact << QString();
    QTest::newRow("connection 0") << QVariant(0) << connection << connectionText;
    QTest::newRow("connection 1") << QVariant(1) << connection << connectionText;
    QTest::newRow("connection 3") << QVariant(3) << connection << connectionText;
}

void TestMessages::notices()
{
    QFETCH(QVariant, index);
    QFETCH(int, message);
    QFETCH(QString, text);
    setLanguageIndex(index);

    BoxAnswerer answerer;
    QCOMPARE(MostrarMensagem(Mensagem(message)), !text.isEmpty());
    QCOMPARE(answerer.boxes().size(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty()) {
        const BoxAnswerer::Box& box = answerer.boxes().first();
        QCOMPARE(box.caption, QStringLiteral("Tarvo Agenda"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttonTexts, QStringList{QStringLiteral("OK")});
    }
}

void TestMessages::unsavedIndexAppliesAndCancelRestoresIt()
{
    DataSet& configuration = agenda_->dm().TB_Configuracao;
    configuration.cancel();
    setLanguageIndex(1);
    configuration.post();

    setLanguageIndex(2);
    BoxAnswerer answerer(QMessageBox::No);
    ConfirmarExclusao();
    configuration.cancel();
    ConfirmarExclusao();
    QCOMPARE(answerer.boxes().size(), 2);
    QCOMPARE(answerer.boxes().at(0).text, QStringLiteral("Confirma a Exclusão?"));
    QCOMPARE(answerer.boxes().at(1).text, QStringLiteral("Really delete?"));
}

void TestMessages::okButtonFollowsTheLoadedLanguage()
{
    QCOMPARE(LoadLanguage(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), 3082), 1);
    BoxAnswerer answerer;
    MostrarInformacao(QStringLiteral("x"));
    UnloadLanguage();
    MostrarInformacao(QStringLiteral("x"));
    QCOMPARE(answerer.boxes().size(), 2);
    QCOMPARE(answerer.boxes().at(0).buttonTexts, QStringList{QStringLiteral("Aceptar")});
    QCOMPARE(answerer.boxes().at(1).buttonTexts, QStringList{QStringLiteral("OK")});
}

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
