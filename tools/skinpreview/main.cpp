// tarvo-skinpreview SKIN.skn OUT.jpg: draws the main window, on a sample agenda, in a skin and
// writes the small picture the options window shows beside the skin's name.

#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_DM.h"
#include "db/DatabaseCreator.h"
#include "db/Statement.h"
#include "platform/AppFolder.h"
#include "platform/Error.h"
#include "widgets/Application.h"

#include <QCommandLineParser>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

constexpr int kUsageError = 2;
// The picture box of the options window sizes itself to the picture.
constexpr QSize kPreviewSize(104, 78);
constexpr int kJpegQuality = 90;

// Qt drops a whole sheet it cannot parse with no more than a warning; a preview of the standard
// look under a skin's name would hide that.
bool sheetRejected = false;
QtMessageHandler previousHandler = nullptr;

void watchForRejectedSheet(QtMsgType type, const QMessageLogContext& context,
                           const QString& message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("stylesheet"), Qt::CaseInsensitive))
        sheetRejected = true;
    previousHandler(type, context, message);
}

struct SampleContact
{
    const char16_t* name;
    const char16_t* phone;
    const char16_t* mobile;
    const char16_t* address;
    const char16_t* district;
    const char16_t* city;
    const char16_t* state;
    const char16_t* postcode;
    const char16_t* email;
    QDate birth;
    const char16_t* note;
};

// A few contacts, so the form shows a filled row and the grid a screenful of names.
void addSampleContacts(const QString& databasePath)
{
    const SampleContact contacts[] = {
        {u"ANA BEATRIZ SOUZA", u"(11) 3456-7890", u"(11) 98765-4321", u"Rua das Flores, 120",
         u"Jardins", u"São Paulo", u"SP", u"01.310-100", u"ana.souza@exemplo.com.br",
         QDate(1985, 3, 14), u"Prefere ligações à tarde."},
        {u"BRUNO CARVALHO LIMA", u"(21) 2233-4455", u"(21) 99876-5432", u"Av. Atlântica, 800",
         u"Copacabana", u"Rio de Janeiro", u"RJ", u"22.010-000", u"bruno@exemplo.com",
         QDate(1979, 7, 2), nullptr},
        {u"CAROLINA MENDES", u"(31) 3344-5566", u"(31) 98888-1212", u"Rua da Bahia, 45", u"Centro",
         u"Belo Horizonte", u"MG", u"30.160-011", u"carol@exemplo.com", QDate(1990, 11, 23),
         nullptr},
        {u"DANIEL FERREIRA", u"(41) 3022-1100", u"(41) 99123-4567", u"Rua XV de Novembro, 9",
         u"Centro", u"Curitiba", u"PR", u"80.020-310", u"daniel@exemplo.com", QDate(1972, 1, 9),
         nullptr},
        {u"EDUARDA ROCHA PINTO", u"(51) 3211-0099", u"(51) 98456-7788", u"Av. Ipiranga, 1500",
         u"Azenha", u"Porto Alegre", u"RS", u"90.160-093", u"duda@exemplo.com", QDate(1995, 5, 30),
         nullptr},
        {u"FÁBIO NASCIMENTO", u"(71) 3555-8080", u"(71) 99700-1234", u"Rua Chile, 3", u"Comércio",
         u"Salvador", u"BA", u"40.020-000", u"fabio@exemplo.com", QDate(1988, 9, 17), nullptr},
        {u"GABRIELA TEIXEIRA", u"(61) 3321-4321", u"(61) 98111-2233", u"SQS 308, Bloco C",
         u"Asa Sul", u"Brasília", u"DF", u"70.355-030", u"gabi@exemplo.com", QDate(1983, 12, 1),
         nullptr},
        {u"HELENA ARAÚJO", u"(81) 3420-5050", u"(81) 99555-6677", u"Rua da Aurora, 77",
         u"Boa Vista", u"Recife", u"PE", u"50.050-000", u"helena@exemplo.com", QDate(1969, 4, 8),
         nullptr},
    };
    const auto text = [](const char16_t* value) {
        return value ? QVariant(QString::fromUtf16(value)) : QVariant();
    };

    Connection connection(databasePath);
    connection.open();
    Transaction transaction(connection);
    Statement insert(
        transaction,
        QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME, AGE_TELEFONE, AGE_CELULAR, "
                       "AGE_ENDERECO, AGE_BAIRRO, AGE_CIDADE, AGE_UF, AGE_CEP, AGE_EMAIL, "
                       "AGE_DATANASC, AGE_OBS) values (gen_id(GEN_AGENDA, 1), :NOME, :FONE, "
                       ":CELULAR, :ENDERECO, :BAIRRO, :CIDADE, :UF, :CEP, :EMAIL, :NASC, :OBS)"));
    const QDate today = QDate::currentDate();
    for (const SampleContact& contact : contacts) {
        QDate birth = contact.birth;
        // A birthday today would open the birthday window over the main one.
        if (birth.month() == today.month() && birth.day() == today.day())
            birth = birth.addDays(1);
        insert.setParameter(QStringLiteral("NOME"), text(contact.name));
        insert.setParameter(QStringLiteral("FONE"), text(contact.phone));
        insert.setParameter(QStringLiteral("CELULAR"), text(contact.mobile));
        insert.setParameter(QStringLiteral("ENDERECO"), text(contact.address));
        insert.setParameter(QStringLiteral("BAIRRO"), text(contact.district));
        insert.setParameter(QStringLiteral("CIDADE"), text(contact.city));
        insert.setParameter(QStringLiteral("UF"), text(contact.state));
        insert.setParameter(QStringLiteral("CEP"), text(contact.postcode));
        insert.setParameter(QStringLiteral("EMAIL"), text(contact.email));
        insert.setParameter(QStringLiteral("NASC"), birth);
        insert.setParameter(QStringLiteral("OBS"), text(contact.note));
        insert.execute();
    }
    transaction.commit();
}

// Closes every message box the window raises: nobody is there to answer it, and the preview
// of a window that complained would show the wrong thing. Their texts are kept.
class BoxCloser
{
public:
    BoxCloser()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts_.append(box->text());
                box->reject();
            }
        });
        timer_.start(50);
    }
    const QStringList& texts() const { return texts_; }

private:
    QTimer timer_;
    QStringList texts_;
};

// Lets the window's start-up timers and deferred layout run, as they would before anyone looks.
void settle(int milliseconds)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int main(int argc, char* argv[])
{
    // The picture is the same on every desktop, and nothing flashes on the screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVO_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws the main window on a sample agenda in the skin SKIN and writes its "
                       "%1 x %2 preview to OUT as a JPEG picture.")
            .arg(kPreviewSize.width())
            .arg(kPreviewSize.height()));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption full(QStringLiteral("full"),
                                  QStringLiteral("Also writes the window at its full size to FILE "
                                                 "(the format follows the extension)."),
                                  QStringLiteral("FILE"));
    parser.addOption(full);
    parser.addPositionalArgument(QStringLiteral("SKIN"), QStringLiteral("The skin file (.skn)."));
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("The picture to write."));
    if (!parser.parse(app.arguments()) && !parser.isSet(help) && !parser.isSet(version)) {
        err << "tarvo-skinpreview: " << parser.errorText() << "\n\n" << parser.helpText();
        return kUsageError;
    }
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << "tarvo-skinpreview " << QCoreApplication::applicationVersion()
                            << "\n";
        return 0;
    }
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 2) {
        err << "tarvo-skinpreview: SKIN and OUT are needed\n\n" << parser.helpText();
        return kUsageError;
    }
    const QString skinPath = arguments.at(0);
    const QString outPath = arguments.at(1);
    // The skin engine applies an empty sheet for a file it cannot read.
    if (QFile skin(skinPath); !skin.open(QIODevice::ReadOnly)) {
        err << "tarvo-skinpreview: " << skinPath << ": " << skin.errorString() << "\n";
        return 1;
    }

    // The sample agenda lives in a folder of its own, which also stands in for the application
    // folder: no start-up file, language file or skin of an installation is read.
    QTemporaryDir folder;
    if (!folder.isValid()) {
        err << "tarvo-skinpreview: no temporary folder: " << folder.errorString() << "\n";
        return 1;
    }
    setApplicationFolder(folder.path());
    // The window takes its captions and language list from the program's language file, which
    // it looks for under this program's name.
    const QString languageFile =
        QCoreApplication::applicationDirPath() + QStringLiteral("/tarvo-agenda.lcf");
    if (!QFile::copy(languageFile, LanguageFileName())) {
        err << "tarvo-skinpreview: cannot copy the language file " << languageFile << "\n";
        return 1;
    }
    const QString databasePath = folder.filePath(QStringLiteral("PREVIEW.FDB"));

    QImage picture;
    BoxCloser boxes;
    try {
        createAgendaDatabase(databasePath);
        addSampleContacts(databasePath);

        auto dataModule = std::make_unique<TDM>();
        DM = dataModule.get();
        DM->DB_Agenda.setDatabaseName(databasePath);
        DM->DB_Agenda.open();

        // Applied before the window exists, as at the program's start.
        previousHandler = qInstallMessageHandler(watchForRejectedSheet);
        DM->sd1.setSkinFile(skinPath);
        DM->sd1.activate();

        std::unique_ptr<TFrmAgenda> window(CreateForm<TFrmAgenda>());
        window->show();
        window->activateWindow();
        settle(300);
        picture = window->grab().toImage();
        qInstallMessageHandler(previousHandler);

        window.reset();
        Application::destroyAdoptedWindows();
        dataModule.reset();
        DM = nullptr;
    } catch (const Error& error) {
        err << "tarvo-skinpreview: " << error.message() << "\n";
        return 1;
    }
    for (const QString& text : boxes.texts())
        err << "tarvo-skinpreview: the window said: " << text << "\n";
    if (!boxes.texts().isEmpty())
        return 1;
    if (sheetRejected) {
        err << "tarvo-skinpreview: " << skinPath << ": the style sheet could not be parsed\n";
        return 1;
    }

    if (parser.isSet(full) && !picture.save(parser.value(full))) {
        err << "tarvo-skinpreview: cannot write " << parser.value(full) << "\n";
        return 1;
    }
    // The whole window, pressed a little flatter to the box's proportions: at this size that
    // reads better than a window with its foot cut off.
    const QImage preview =
        picture.scaled(kPreviewSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!preview.save(outPath, "JPG", kJpegQuality)) {
        err << "tarvo-skinpreview: cannot write " << outPath << "\n";
        return 1;
    }
    return 0;
}
