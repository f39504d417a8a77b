#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_DM.h"
#include "U_Importar.h"
#include "contacts/ContactFile.h"
#include "contacts/ContactStore.h"
#include "db/Statement.h"
#include "platform/AppFolder.h"
#include "platform/Error.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(Contact)

namespace {

const QString kFixtures = QStringLiteral(TARVO_SOURCE_DIR "/tests/data/contacts/");

// A contact as "COLUMN=value" lines, its empty values left out, so a failure shows the field.
QStringList described(const Contact& contact)
{
    QStringList lines;
    for (const ContactColumn& column : contactColumns()) {
        if (!contact[column.field].isEmpty())
            lines.append(QString::fromLatin1(column.name) + u'=' + contact[column.field]);
    }
    if (contact.birthDate.isValid())
        lines.append(QStringLiteral("AGE_DATANASC=") + contact.birthDate.toString(Qt::ISODate));
    return lines;
}

Contact contactOf(std::initializer_list<std::pair<ContactField, QString>> values,
                  QDate birthDate = {})
{
    Contact contact;
    for (const auto& [field, value] : values)
        contact[field] = value;
    contact.birthDate = birthDate;
    return contact;
}

} // namespace

// Contacts brought in from vCard and CSV files through the preview, and taken out of the main
// window's grid, on a fresh database with the installed language file.
class TestImportExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readsTheFilesAsTheirProgramsWriteThem_data();
    void readsTheFilesAsTheirProgramsWriteThem();
    void damagedFilesAreRefusedWithTheirReason_data();
    void damagedFilesAreRefusedWithTheirReason();
    void statesAndPostalCodesTakeTheColumnsForm_data();
    void statesAndPostalCodesTakeTheColumnsForm();
    void duplicatesAreFoundByNameEmailOrMobile_data();
    void duplicatesAreFoundByNameEmailOrMobile();
    void menusOfferTheItemsInEveryLanguage_data();
    void menusOfferTheItemsInEveryLanguage();
    void thePreviewShowsEverythingAndWritesOnlyWhatIsConfirmed_data();
    void thePreviewShowsEverythingAndWritesOnlyWhatIsConfirmed();
    void cancellingThePreviewWritesNothing();
    void aDamagedDropIsToldAndWritesNothing();
    void exportThenImportGivesBackTheGridsContacts_data();
    void exportThenImportGivesBackTheGridsContacts();
    void anErrorDuringTheWriteLeavesNothingBehind();

private:
    TFrmAgenda* showWindow();
    // Stores the contact as the contact window does, its key from the generator.
    qint64 store(const Contact& contact);
    std::vector<StoredContact> storedContacts();
    QString writeFile(const QString& name, const QByteArray& bytes);
    void drop(const QStringList& files);
    // Runs start, then act on the preview it opens; act must close it.
    void withPreview(const std::function<void()>& start,
                     const std::function<void(TFrmImportar*)>& act);
    // Answers the next file dialog with the name, as a person types it.
    void answerFileDialog(const QString& fileName);

    std::unique_ptr<AgendaFixture> agenda_;
    std::unique_ptr<TFrmAgenda> window_;
    QTemporaryDir files_;
    QTimer fileDialogAnswer_;
};

void TestImportExport::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), 2);
}

void TestImportExport::cleanup()
{
    fileDialogAnswer_.stop();
    fileDialogAnswer_.disconnect();
    window_.reset();
    Application::destroyAdoptedWindows();
    UnloadLanguage();
    agenda_.reset();
}

TFrmAgenda* TestImportExport::showWindow()
{
    window_.reset(CreateForm<TFrmAgenda>());
    window_->show();
    return window_.get();
}

qint64 TestImportExport::store(const Contact& contact)
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    Statement insert(transaction,
                     QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME, AGE_ENDERECO, "
                                    "AGE_BAIRRO, AGE_CIDADE, AGE_UF, AGE_CEP, AGE_TELEFONE, "
                                    "AGE_FAX, AGE_CELULAR, AGE_EMAIL, AGE_WEB, AGE_MSN, AGE_SKYPE, "
                                    "AGE_OBS, AGE_DATANASC) values (:K, :A, :B, :C, :D, :E, :F, "
                                    ":G, :H, :I, :J, :L, :M, :N, :O, :P)"));
    const qint64 code = generatorNextValue(transaction, QStringLiteral("GEN_AGENDA"));
    insert.setParameter(QStringLiteral("K"), code);
    const char* names[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "L", "M", "N", "O"};
    for (std::size_t i = 0; i < kContactFieldCount; ++i)
        insert.setParameter(QString::fromLatin1(names[i]),
                            contact.texts[i].isEmpty() ? QVariant() : QVariant(contact.texts[i]));
    insert.setParameter(QStringLiteral("P"), contact.birthDate.isValid()
                                                 ? QVariant(QDateTime(contact.birthDate, {}))
                                                 : QVariant());
    insert.execute();
    transaction.commit();
    return code;
}

std::vector<StoredContact> TestImportExport::storedContacts()
{
    Connection connection(agenda_->database().path());
    connection.open();
    Transaction transaction(connection);
    std::vector<StoredContact> contacts = readStoredContacts(transaction);
    std::sort(contacts.begin(), contacts.end(), [](const auto& a, const auto& b) {
        return a.contact[ContactField::Nome] < b.contact[ContactField::Nome];
    });
    return contacts;
}

QString TestImportExport::writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = files_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(bytes);
    return path;
}

void TestImportExport::drop(const QStringList& files)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.append(QUrl::fromLocalFile(file));
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &dropped);
}

void TestImportExport::withPreview(const std::function<void()>& start,
                                   const std::function<void(TFrmImportar*)>& act)
{
    bool acted = false;
    bool modal = false;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* preview = qobject_cast<TFrmImportar*>(widget);
            if (preview && preview->isVisible() && !acted) {
                acted = true;
                modal = preview->isModal();
                act(preview);
                // A failed check or an error inside act leaves the preview up; no hanging.
                if (preview->isVisible())
                    preview->close();
            }
        }
    });
    watcher.start(20);
    start();
    QTRY_VERIFY(acted);
    QVERIFY(modal);
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

void TestImportExport::answerFileDialog(const QString& fileName)
{
    fileDialogAnswer_.disconnect();
    connect(&fileDialogAnswer_, &QTimer::timeout, this, [this, fileName] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        fileDialogAnswer_.stop();
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(fileName);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    fileDialogAnswer_.start(20);
}

void TestImportExport::readsTheFilesAsTheirProgramsWriteThem_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("expected"); // "refused" for a contact without a name

    QTest::addRow("2.1 quoted-printable UTF-8, soft break, N only")
        << "phone21.vcf" << 0
        << QStringList{"AGE_NOME=Maria Conceição",
                       "AGE_ENDERECO=Rua Coronel Dulcídio, 1500 ap 3",
                       "AGE_BAIRRO=Batel",
                       "AGE_CIDADE=Curitiba",
                       "AGE_UF=PR",
                       "AGE_CEP=80.420-170",
                       "AGE_TELEFONE=(41) 3333-4444",
                       "AGE_CELULAR=+55 41 99876-5432",
                       "AGE_EMAIL=maria@example.com.br",
                       "AGE_OBS=Prefere ligações à tarde\nLinha 2",
                       "AGE_DATANASC=1980-05-17"};
    QTest::addRow("2.1 card without a name") << "phone21.vcf" << 1 << QStringList{"refused"};
    QTest::addRow("2.1 Windows-1252, raw and quoted-printable, fax by type")
        << "desktop21.vcf" << 0
        << QStringList{"AGE_NOME=José Araújo",
                       "AGE_ENDERECO=Av. Paulista, 1000",
                       "AGE_BAIRRO=Vila Mariana",
                       "AGE_CIDADE=São Paulo",
                       "AGE_UF=SP",
                       "AGE_CEP=01.310-100",
                       "AGE_TELEFONE=(11) 3030-4040",
                       "AGE_FAX=(11) 3030-4041",
                       "AGE_EMAIL=Jose.Araujo@Example.com",
                       "AGE_WEB=http://www.example.com.br",
                       "AGE_MSN=jose@hotmail.com"};
    QTest::addRow("3.0 groups, escapes, folding, IMPP")
        << "phone30.vcf" << 0
        << QStringList{"AGE_NOME=Ana Paula Souza",
                       "AGE_ENDERECO=Rua Barata Ribeiro, 200",
                       "AGE_BAIRRO=Copacabana",
                       "AGE_CIDADE=Rio de Janeiro",
                       "AGE_UF=RJ",
                       "AGE_CEP=22.040-002",
                       "AGE_FAX=(21) 2222-3333",
                       "AGE_CELULAR=(21) 98888-7777",
                       "AGE_EMAIL=ana.souza@example.com",
                       "AGE_WEB=https://ana.example.com",
                       "AGE_SKYPE=ana.souza",
                       "AGE_OBS=Reunião; trazer contrato, assinado.\nSegunda linha que é bastante "
                       "longa e foi dobrada.",
                       "AGE_DATANASC=1975-12-01"};
    QTest::addRow("3.0 second card of the file")
        << "phone30.vcf" << 1
        << QStringList{"AGE_NOME=Carlos Lima", "AGE_TELEFONE=+55 (31) 3456-7890",
                       "AGE_SKYPE=carlos.lima"};
    QTest::addRow("4.0 tel URI, quoted parameters, birthday without a year")
        << "desktop40.vcf" << 0
        << QStringList{"AGE_NOME=Pedro Álvares",
                       "AGE_ENDERECO=Rua dos Andradas, 1234",
                       "AGE_BAIRRO=Centro Histórico",
                       "AGE_CIDADE=Porto Alegre",
                       "AGE_UF=RS",
                       "AGE_CEP=90.020-008",
                       "AGE_TELEFONE=(51) 3222-1111",
                       "AGE_CELULAR=+55-51-99111-2222",
                       "AGE_EMAIL=pedro@example.org",
                       "AGE_WEB=https://pedro.example.org",
                       "AGE_MSN=pedro@live.com",
                       "AGE_OBS=Conheci em 2019"};
    QTest::addRow("webmail CSV, typed phones, quoted note")
        << "webmail.csv" << 0
        << QStringList{"AGE_NOME=Fernanda Costa",
                       "AGE_ENDERECO=Rua Bocaiúva 100",
                       "AGE_BAIRRO=Centro",
                       "AGE_CIDADE=Florianópolis",
                       "AGE_UF=SC",
                       "AGE_CEP=88.015-530",
                       "AGE_TELEFONE=(48) 3333-0000",
                       "AGE_FAX=(48) 3222-0000",
                       "AGE_CELULAR=+55 48 99999-1111",
                       "AGE_EMAIL=fernanda@example.com",
                       "AGE_WEB=https://fernanda.example.com",
                       "AGE_SKYPE=fe.costa",
                       "AGE_OBS=Linha 1\nLinha 2, com vírgula",
                       "AGE_DATANASC=1990-02-28"};
    QTest::addRow("semicolon CSV with a byte-order mark, name in parts")
        << "desktop_semicolon_bom.csv" << 0
        << QStringList{"AGE_NOME=Dra. Lúcia Ferreira",
                       "AGE_ENDERECO=SQS 308 Bloco C; apto 101",
                       "AGE_CIDADE=Brasília",
                       "AGE_UF=DF",
                       "AGE_CEP=70.355-030",
                       "AGE_TELEFONE=(61) 3000-1000",
                       "AGE_CELULAR=(61) 99000-3000",
                       "AGE_EMAIL=lucia@example.com",
                       "AGE_WEB=www.lucia.example.com",
                       "AGE_OBS=Paciente; retorno em março",
                       "AGE_DATANASC=1980-05-17"};
    QTest::addRow("Windows-1252 CSV, birth date in three columns")
        << "mailclient_cp1252.csv" << 0
        << QStringList{"AGE_NOME=João Gonçalves",     "AGE_ENDERECO=Av. Beira Mar 500",
                       "AGE_CIDADE=Fortaleza",        "AGE_UF=CE",
                       "AGE_CEP=60.165-121",          "AGE_TELEFONE=(85) 3111-2222",
                       "AGE_CELULAR=(85) 98111-2222", "AGE_EMAIL=joao@example.com",
                       "AGE_MSN=joao@msn.example",    "AGE_OBS=Não ligar após 22h",
                       "AGE_DATANASC=1968-07-09"};
}

void TestImportExport::readsTheFilesAsTheirProgramsWriteThem()
{
    QFETCH(QString, file);
    QFETCH(int, index);
    QFETCH(QStringList, expected);
    const std::vector<ImportedContact> contacts = readContactFile(kFixtures + file);
    QVERIFY(std::size_t(index) < contacts.size());
    const ImportedContact& contact = contacts[std::size_t(index)];
    QVERIFY(contact.origin.startsWith(file));
    if (expected == QStringList{"refused"}) {
        QCOMPARE(contact.refusal, QStringLiteral("it has no name"));
        return;
    }
    QVERIFY(contact.refusal.isEmpty());
    QCOMPARE(described(contact.contact), expected);
}

void TestImportExport::damagedFilesAreRefusedWithTheirReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addRow("card cut short")
        << "cut.vcf"
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:B\r\n")
        << "The file cut.vcf cannot be imported: the card begun on line 5 has no END:VCARD";
    QTest::addRow("no card") << "letter.vcf" << QByteArray("Dear Ana,\nsee you.\n")
                             << "The file letter.vcf cannot be imported: it holds no vCard";
    QTest::addRow("binary") << "photo.vcf" << QByteArray("BEGIN:VCARD\0\x89PNG", 15)
                            << "The file photo.vcf cannot be imported: it is not a text file";
    QTest::addRow("quote not closed")
        << "open.csv" << QByteArray("Name,Notes\nAna,ok\nBia,\"never closed\nCris,x\n")
        << "The file open.csv cannot be imported: the quoted value begun on line 3 is not "
           "closed";
    QTest::addRow("unknown columns")
        << "sales.csv" << QByteArray("Product;Price\nPen;2.50\n")
        << "The file sales.csv cannot be imported: its first line names none of the known "
           "columns";
    QTest::addRow("other kind") << "agenda.txt" << QByteArray("FN:A")
                                << "The file agenda.txt is neither a vCard (.vcf) nor a CSV "
                                   "(.csv) file";
}

void TestImportExport::damagedFilesAreRefusedWithTheirReason()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    try {
        readContactFile(writeFile(name, bytes));
        QFAIL("the file was read");
    } catch (const Error& error) {
        QCOMPARE(error.message(), message);
    }
}

void TestImportExport::statesAndPostalCodesTakeTheColumnsForm_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("stateExpected");
    QTest::addColumn<QString>("postalCode");
    QTest::addColumn<QString>("postalCodeExpected");
    QTest::addRow("written out with accents") << "Paraná"
                                              << "PR"
                                              << "80420170"
                                              << "80.420-170";
    QTest::addRow("without accents, any case") << "SAO PAULO"
                                               << "SP"
                                               << "01310-100"
                                               << "01.310-100";
    QTest::addRow("a code in small letters") << "rj"
                                             << "RJ"
                                             << "22.040-002"
                                             << "22.040-002";
    QTest::addRow("Pará is not Paraná") << "Pará"
                                        << "PA"
                                        << " 66.010 000 "
                                        << "66.010 000";
    QTest::addRow("abroad, kept as written") << "California"
                                             << "California"
                                             << "94043"
                                             << "94043";
}

void TestImportExport::statesAndPostalCodesTakeTheColumnsForm()
{
    QFETCH(QString, state);
    QFETCH(QString, stateExpected);
    QFETCH(QString, postalCode);
    QFETCH(QString, postalCodeExpected);
    QCOMPARE(stateCode(state), stateExpected);
    QCOMPARE(postalCodeText(postalCode), postalCodeExpected);
}

void TestImportExport::duplicatesAreFoundByNameEmailOrMobile_data()
{
    QTest::addColumn<Contact>("imported");
    QTest::addColumn<int>("duplicate"); // -1: none
    using F = ContactField;
    QTest::addRow("name without case and accents")
        << contactOf({{F::Nome, "  JOSE  ARAUJO "}}) << 1;
    QTest::addRow("e-mail without case")
        << contactOf({{F::Nome, "Zé"}, {F::Email, "ANA@Example.com"}}) << 0;
    QTest::addRow("mobile however written")
        << contactOf({{F::Nome, "Outro"}, {F::Celular, "+55 (41) 99876-5432"}}) << 0;
    QTest::addRow("telephone is not mobile")
        << contactOf({{F::Nome, "Outro"}, {F::Telefone, "41998765432"}}) << -1;
    QTest::addRow("empty values match nothing")
        << contactOf({{F::Nome, "Outra"}, {F::Email, ""}, {F::Celular, ""}}) << -1;
    QTest::addRow("similar name is another person")
        << contactOf({{F::Nome, "José Araújo Filho"}}) << -1;
}

void TestImportExport::duplicatesAreFoundByNameEmailOrMobile()
{
    QFETCH(Contact, imported);
    QFETCH(int, duplicate);
    using F = ContactField;
    const std::vector<StoredContact> stored{
        {7, contactOf({{F::Nome, "Ana Souza"},
                       {F::Email, "ana@example.com"},
                       {F::Celular, "41 99876-5432"}})},
        {8, contactOf({{F::Nome, "José Araújo"}})},
    };
    const std::optional<std::size_t> found = findDuplicate(imported, stored);
    QCOMPARE(found ? int(*found) : -1, duplicate);
}

void TestImportExport::menusOfferTheItemsInEveryLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("print");
    QTest::addColumn<QString>("import");
    QTest::addRow("Spanish") << 0
                             << QStringList{"Lista", "Etiquetas", "", "Exportar vCard…",
                                            "Exportar CSV…"}
                             << "Importar contactos…";
    QTest::addRow("English") << 1
                             << QStringList{"List", "Labels", "", "Export vCard…", "Export CSV…"}
                             << "Import contacts…";
    QTest::addRow("Portuguese") << 2
                                << QStringList{"Relação", "Etiquetas", "", "Exportar vCard…",
                                               "Exportar CSV…"}
                                << "Importar contatos…";
}

void TestImportExport::menusOfferTheItemsInEveryLanguage()
{
    QFETCH(int, language);
    QFETCH(QStringList, print);
    QFETCH(QString, import);
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), language);
    TFrmAgenda* window = showWindow();
    QStringList texts;
    for (const QAction* action : window->PMImprimir->actions())
        texts.append(action->isSeparator() ? QString() : action->text());
    QCOMPARE(texts, print);
    const QList<QAction*> tray = window->PopupMenu1->actions();
    const qsizetype birthdays = tray.indexOf(window->Aniversariantes1);
    QCOMPARE(tray.value(birthdays + 1), window->ImportarContatos1);
    QCOMPARE(window->ImportarContatos1->text(), import);
    QVERIFY(window->acceptDrops());
}

void TestImportExport::thePreviewShowsEverythingAndWritesOnlyWhatIsConfirmed_data()
{
    QTest::addColumn<int>("valuesThatDoNotFit"); // 0 refuse the contact, 1 cut the value
    QTest::addColumn<QStringList>("names");      // stored afterwards, by name
    QTest::addRow("refused") << 0 << QStringList{"Ana Souza", "Carlos Lima", "MARIA CONCEICAO"};
    QTest::addRow("cut") << 1
                         << QStringList{"Ana Souza", "Carlos Lima", "MARIA CONCEICAO",
                                        "Nome  grande"};
}

void TestImportExport::thePreviewShowsEverythingAndWritesOnlyWhatIsConfirmed()
{
    QFETCH(int, valuesThatDoNotFit);
    QFETCH(QStringList, names);
    BoxAnswerer answerer;
    using F = ContactField;
    store(contactOf({{F::Nome, "MARIA CONCEICAO"}, {F::Telefone, "(41) 1111-1111"}}));
    store(contactOf({{F::Nome, "Ana Souza"}, {F::Email, "ANA.SOUZA@example.com"}}));
    const QString longStreet(60, u'r');
    const QString extra = writeFile(
        QStringLiteral("extra.vcf"),
        (QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Nome Ω grande\r\nADR:;;%1;;;;\r\n"
                        "END:VCARD\r\n")
             .arg(longStreet))
            .toUtf8());
    TFrmAgenda* window = showWindow();
    QCOMPARE(window->DBGrid1->model()->rowCount(), 2);

    withPreview(
        [&] {
            drop({kFixtures + "phone21.vcf", kFixtures + "phone30.vcf", extra});
        },
        [&](TFrmImportar* preview) {
            QCOMPARE(preview->windowTitle(), QStringLiteral("Importar contatos"));
            QTableWidget* table = preview->LVContatos;
            QCOMPARE(table->rowCount(), 5);
            const auto cell = [table](int row, int column) {
                return table->item(row, column)->text();
            };
            // Maria looks like the stored MARIA CONCEICAO; she fills its empty fields.
            QCOMPARE(cell(0, 4), QStringLiteral("Parece com: MARIA CONCEICAO"));
            QComboBox* maria = preview->acao(0);
            QCOMPARE(maria->currentText(), QStringLiteral("Ignorar"));
            maria->setCurrentIndex(maria->findData(int(TFrmImportar::Acao::Completar)));
            // The card without a name is refused with its reason and offers nothing.
            QCOMPARE(cell(1, 4), QStringLiteral("Recusado: não tem nome"));
            QVERIFY(!preview->acao(1));
            // Ana looks like a stored contact by her e-mail, and is skipped.
            QCOMPARE(cell(2, 4), QStringLiteral("Parece com: Ana Souza"));
            QCOMPARE(cell(3, 4), QStringLiteral("Novo"));
            QCOMPARE(preview->acao(3)->currentText(), QStringLiteral("Adicionar"));
            QCOMPARE(cell(4, 5), QStringLiteral("AGE_NOME: o caractere 'Ω' (U+03A9) não pode ser "
                                                "gravado; AGE_ENDERECO: 60 caracteres, a coluna "
                                                "comporta 45"));
            preview->RGValores->button(valuesThatDoNotFit)->click();
            QTest::mouseClick(preview->BImportar, Qt::LeftButton);
        });

    for (const BoxAnswerer::Box& box : answerer.boxes())
        QFAIL(qPrintable(box.text));
    const std::vector<StoredContact> stored = storedContacts();
    QStringList storedNames;
    for (const StoredContact& contact : stored)
        storedNames.append(contact.contact[F::Nome]);
    QCOMPARE(storedNames, names);
    // Filled: the stored name and telephone stay, the empty fields come from the card.
    const Contact& maria = stored[2].contact;
    QCOMPARE(stored[2].code, 1);
    QCOMPARE(maria[F::Nome], QStringLiteral("MARIA CONCEICAO"));
    QCOMPARE(maria[F::Telefone], QStringLiteral("(41) 1111-1111"));
    QCOMPARE(maria[F::Celular], QStringLiteral("+55 41 99876-5432"));
    QCOMPARE(maria.birthDate, QDate(1980, 5, 17));
    QVERIFY(stored[0].contact[F::Celular].isEmpty()); // Ana was skipped
    if (valuesThatDoNotFit == 1)
        QCOMPARE(stored[3].contact[F::Endereco], longStreet.left(45));
    // New keys come from the generator; the grid shows the new contacts.
    QVERIFY(stored[1].code > 2);
    QCOMPARE(window->DBGrid1->model()->rowCount(), names.size());
}

void TestImportExport::cancellingThePreviewWritesNothing()
{
    showWindow();
    withPreview([&] { drop({kFixtures + "webmail.csv"}); },
                [](TFrmImportar* preview) { QTest::keyClick(preview, Qt::Key_Escape); });
    QVERIFY(storedContacts().empty());
}

void TestImportExport::aDamagedDropIsToldAndWritesNothing()
{
    BoxAnswerer answerer;
    showWindow();
    const QString damaged =
        writeFile(QStringLiteral("cut.vcf"), "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Ana\r\n");
    drop({kFixtures + "phone30.vcf", damaged});
    QTRY_COMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes().first().text,
             QStringLiteral("O arquivo cut.vcf não pode ser importado: o cartão iniciado na "
                            "linha 1 não tem END:VCARD"));
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<TFrmImportar*>(widget));
    QVERIFY(storedContacts().empty());
}

void TestImportExport::exportThenImportGivesBackTheGridsContacts_data()
{
    QTest::addColumn<bool>("vcard");
    QTest::addRow("vCard") << true;
    QTest::addRow("CSV") << false;
}

void TestImportExport::exportThenImportGivesBackTheGridsContacts()
{
    QFETCH(bool, vcard);
    using F = ContactField;
    const Contact full = contactOf(
        {{F::Nome, "Bruno Silva, \"o Bruno\"; filho"},
         {F::Endereco, "Rua XV de Novembro, 1000; fundos"},
         {F::Bairro, "Centro"},
         {F::Cidade, "Curitiba"},
         {F::Uf, "PR"},
         {F::Cep, "80.020-310"},
         {F::Telefone, "(41) 3333-0000"},
         {F::Fax, "(41) 3333-0001"},
         {F::Celular, "(41) 99999-0000"},
         {F::Email, "bruno@example.com"},
         {F::Web, "www.bruno.example.com"},
         {F::Msn, "bruno@msn.example"},
         {F::Skype, "bruno.silva"},
         {F::Obs, "Primeira linha; com vírgula, e \\ barra\nSegunda linha com acentuação: "
                  "ação, pão, avó — e uma linha longa o bastante para ser dobrada no arquivo"}},
        QDate(1971, 1, 31));
    const Contact plain = contactOf({{F::Nome, "Carla Silva"}});
    store(contactOf({{F::Nome, "Ana Souza"}}));
    store(full);
    store(plain);
    TFrmAgenda* window = showWindow();
    window->EdPesquisa->setFocus();
    QTest::keyClicks(window->EdPesquisa, QStringLiteral("silva"));
    DataSet& grid = DM->Q_Agenda;
    grid.fetchAll();
    QCOMPARE(grid.recordCount(), 2);
    const QStringList gridOrder{grid.value(0, grid.fieldByName("AGE_NOME").index()).toString(),
                                grid.value(1, grid.fieldByName("AGE_NOME").index()).toString()};

    const QString exported = files_.filePath(vcard ? "saida.vcf" : "saida.csv");
    answerFileDialog(exported);
    (vcard ? window->ExportarvCard1 : window->ExportarCSV1)->trigger();
    const std::vector<ImportedContact> written = readContactFile(exported);
    QCOMPARE(written.size(), std::size_t(2));
    QCOMPARE((QStringList{written[0].contact[F::Nome], written[1].contact[F::Nome]}), gridOrder);
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(vcard ? bytes.startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n")
                  : bytes.startsWith("\xEF\xBB\xBF"
                                     "AGE_NOME,AGE_ENDERECO,"));

    // Into an empty agenda.
    window_.reset();
    agenda_.reset(); // the data module goes before the next one comes
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
    showWindow();
    withPreview(
        [&] { drop({exported}); },
        [](TFrmImportar* preview) { QTest::mouseClick(preview->BImportar, Qt::LeftButton); });
    const std::vector<StoredContact> stored = storedContacts();
    QCOMPARE(stored.size(), std::size_t(2));
    QCOMPARE(described(stored[0].contact), described(full));
    QCOMPARE(described(stored[1].contact), described(plain));
}

void TestImportExport::anErrorDuringTheWriteLeavesNothingBehind()
{
    BoxAnswerer answerer;
    using F = ContactField;
    const qint64 carlos = store(contactOf({{F::Nome, "Carlos Lima"}}));
    // Another station holds Carlos being changed; filling him fails at once.
    Connection other(agenda_->database().path());
    other.open();
    Transaction otherWork(other);
    Statement lock(
        otherWork,
        QStringLiteral("update TB_AGENDA set AGE_FAX = '1' where AGE_CODIGO = %1").arg(carlos));
    lock.execute();

    showWindow();
    withPreview([&] { drop({kFixtures + "phone30.vcf"}); },
                [&](TFrmImportar* preview) {
                    QComboBox* carlos = preview->acao(1);
                    carlos->setCurrentIndex(carlos->findData(int(TFrmImportar::Acao::Completar)));
                    QTest::mouseClick(preview->BImportar, Qt::LeftButton);
                    QCOMPARE(answerer.boxes().size(), 1);
                    QVERIFY2(answerer.boxes().first().text.contains(QStringLiteral("conflict")),
                             qPrintable(answerer.boxes().first().text));
                    // The window stays for another try or a cancel.
                    QVERIFY(preview->isVisible());
                    preview->close();
                });
    otherWork.rollback();
    const std::vector<StoredContact> stored = storedContacts();
    QCOMPARE(stored.size(), std::size_t(1)); // Ana, added before the failure, is gone too
    QVERIFY(stored[0].contact[F::Skype].isEmpty());
}

TARVO_APPLICATION_TEST_MAIN(TestImportExport)
#include "tst_importexport.moc"
