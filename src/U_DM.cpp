#include "U_DM.h"

#include "db/DatabaseCreator.h"
#include "db/DbError.h"
#include "platform/AppFolder.h"
#include "platform/Autostart.h"
#include "platform/PrivateProfile.h"
#include "platform/ResourceStrings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTime>

TDM* DM = nullptr;

namespace {

using Kind = Field::Kind;

const QString kBuiltInDatabase =
    QStringLiteral("C:\\Tarvo\\Tarvo Agenda\\Tarvodb\\TARVOAGENDA.FDB");
const QString kNoSkin = QStringLiteral("Nenhum");
const QString kAutostartValue = QStringLiteral("Tarvo Agenda");
const QString kYes = QStringLiteral("S");

enum class Compare
{
    Value,
    Text, // byte for byte: the columns' own collation ignores case and accents
};

// The condition that a row is still as this program read it: a modify or delete made with it
// affects no row once another station has changed or deleted the row since.
QString unchangedSinceRead(std::initializer_list<std::pair<const char*, Compare>> columns)
{
    QString condition;
    for (const auto& [column, compare] : columns) {
        const QString name = QString::fromLatin1(column);
        condition += QStringLiteral(" and %1%2 is not distinct from :OLD_%1")
                         .arg(name, compare == Compare::Text ? QStringLiteral(" collate WIN1252")
                                                             : QString());
    }
    return condition;
}

} // namespace

TDM::TDM(QObject* parent)
    : QObject(parent), DB_Agenda(kBuiltInDatabase), Trans_Agenda(DB_Agenda), Q_Agenda(Trans_Agenda),
      Q_Aniversariantes(Trans_Agenda), Q_Lembretes(Trans_Agenda), Q_CadLembretes(Trans_Agenda),
      TB_Configuracao(Trans_Agenda)
{
    DB_Agenda.afterConnect = [this] { DB_AgendaAfterConnect(); };
    setUpContacts();
    setUpBirthdays();
    setUpReminders();
    setUpConfiguration();
}

TDM::~TDM()
{
    for (DataSet* dataSet :
         {&Q_Agenda, &Q_Aniversariantes, &Q_Lembretes, &Q_CadLembretes, &TB_Configuracao})
        dataSet->close();
    try {
        Trans_Agenda.commit();
        DB_Agenda.close();
    } catch (const DbError&) {
        // Every saved change was committed when it was saved; what is left is discarded.
    }
}

void TDM::setUpContacts()
{
    Q_Agenda.setSql(QStringLiteral("SELECT * FROM TB_AGENDA ORDER BY AGE_NOME"));
    Q_Agenda.addField(QStringLiteral("AGE_CODIGO"), Kind::Integer).setRequired(true);
    Q_Agenda.addField(QStringLiteral("AGE_NOME"), Kind::Text, 45).setRequired(true);
    Q_Agenda.addField(QStringLiteral("AGE_FAX"), Kind::Text, 20);
    Q_Agenda.addField(QStringLiteral("AGE_CELULAR"), Kind::Text, 20);
    contactCity_ = &Q_Agenda.addField(QStringLiteral("AGE_CIDADE"), Kind::Text, 45);
    contactState_ = &Q_Agenda.addField(QStringLiteral("AGE_UF"), Kind::Text, 2);
    Q_Agenda.addField(QStringLiteral("AGE_CEP"), Kind::Text, 10)
        .setEditMask(QStringLiteral("99.999-999;1;_"));
    Q_Agenda.addField(QStringLiteral("AGE_EMAIL"), Kind::Text, 45);
    Q_Agenda.addField(QStringLiteral("AGE_WEB"), Kind::Text, 45);
    Q_Agenda.addField(QStringLiteral("AGE_MSN"), Kind::Text, 45);
    Q_Agenda.addField(QStringLiteral("AGE_SKYPE"), Kind::Text, 45);
    Q_Agenda.addField(QStringLiteral("AGE_OBS"), Kind::TextBlob);
    Q_Agenda.addField(QStringLiteral("AGE_BAIRRO"), Kind::Text, 20);
    Q_Agenda.addField(QStringLiteral("AGE_TELEFONE"), Kind::Text, 20);
    Q_Agenda.addField(QStringLiteral("AGE_ENDERECO"), Kind::Text, 45);
    Q_Agenda.addField(QStringLiteral("AGE_DATANASC"), Kind::DateTime)
        .setEditMask(QStringLiteral("!99/99/9999;1;_"));
    contactCityAndState_ =
        &Q_Agenda.addCalculatedField(QStringLiteral("CIDADE_UF"), Kind::Text, 100);

    Up_Agenda.modifySql = QStringLiteral(
        "update TB_AGENDA set AGE_BAIRRO = :AGE_BAIRRO, AGE_CELULAR = :AGE_CELULAR, "
        "AGE_CEP = :AGE_CEP, AGE_CIDADE = :AGE_CIDADE, AGE_CODIGO = :AGE_CODIGO, "
        "AGE_DATANASC = :AGE_DATANASC, AGE_EMAIL = :AGE_EMAIL, AGE_ENDERECO = :AGE_ENDERECO, "
        "AGE_FAX = :AGE_FAX, AGE_MSN = :AGE_MSN, AGE_NOME = :AGE_NOME, AGE_OBS = :AGE_OBS, "
        "AGE_SKYPE = :AGE_SKYPE, AGE_TELEFONE = :AGE_TELEFONE, AGE_UF = :AGE_UF, "
        "AGE_WEB = :AGE_WEB where AGE_CODIGO = :OLD_AGE_CODIGO");
    const auto text = Compare::Text;
    const auto value = Compare::Value;
    const QString contactAsRead = unchangedSinceRead({{"AGE_BAIRRO", text},
                                                      {"AGE_CELULAR", text},
                                                      {"AGE_CEP", text},
                                                      {"AGE_CIDADE", text},
                                                      {"AGE_DATANASC", value},
                                                      {"AGE_EMAIL", text},
                                                      {"AGE_ENDERECO", text},
                                                      {"AGE_FAX", text},
                                                      {"AGE_MSN", text},
                                                      {"AGE_NOME", text},
                                                      {"AGE_OBS", value},
                                                      {"AGE_SKYPE", text},
                                                      {"AGE_TELEFONE", text},
                                                      {"AGE_UF", text},
                                                      {"AGE_WEB", text}});
    Up_Agenda.modifySql += contactAsRead;
    Up_Agenda.insertSql = QStringLiteral(
        "insert into TB_AGENDA (AGE_BAIRRO, AGE_CELULAR, AGE_CEP, AGE_CIDADE, AGE_CODIGO, "
        "AGE_DATANASC, AGE_EMAIL, AGE_ENDERECO, AGE_FAX, AGE_MSN, AGE_NOME, AGE_OBS, AGE_SKYPE, "
        "AGE_TELEFONE, AGE_UF, AGE_WEB) values (:AGE_BAIRRO, :AGE_CELULAR, :AGE_CEP, "
        ":AGE_CIDADE, :AGE_CODIGO, :AGE_DATANASC, :AGE_EMAIL, :AGE_ENDERECO, :AGE_FAX, "
        ":AGE_MSN, :AGE_NOME, :AGE_OBS, :AGE_SKYPE, :AGE_TELEFONE, :AGE_UF, :AGE_WEB)");
    Up_Agenda.deleteSql =
        QStringLiteral("delete from TB_AGENDA where AGE_CODIGO = :OLD_AGE_CODIGO") + contactAsRead;
    Q_Agenda.setUpdateSql(&Up_Agenda);
    Q_Agenda.setGenerator(QStringLiteral("GEN_AGENDA"), QStringLiteral("AGE_CODIGO"));
    Q_Agenda.onCalcFields = [this](DataSet& dataSet) { Q_AgendaCalcFields(dataSet); };
    Q_Agenda.afterPost = [this](DataSet& dataSet) { Q_AgendaAfterPost(dataSet); };
    Q_Agenda.afterDelete = [this](DataSet& dataSet) { Q_AgendaAfterPost(dataSet); };
}

void TDM::setUpBirthdays()
{
    // Whose birthday is the given day, by the birthday list's own rule (29 February included).
    Q_Aniversariantes.setSql(QStringLiteral("SELECT AGE_NOME AS NOME, AGE_TELEFONE AS FONE "
                                            "FROM SP_ANIVERSARIANTES(:DATA, :DATA)"));
    Q_Aniversariantes.addField(QStringLiteral("NOME"), Kind::Text, 45).setRequired(true);
    Q_Aniversariantes.addField(QStringLiteral("FONE"), Kind::Text, 45);
}

void TDM::setUpReminders()
{
    Up_CadLembretes.modifySql = QStringLiteral(
        "update TB_LEMBRETES set LEM_CODIGO = :LEM_CODIGO, LEM_DATA = :LEM_DATA, "
        "LEM_HORA = :LEM_HORA, LEM_MENSAGEM = :LEM_MENSAGEM where LEM_CODIGO = :OLD_LEM_CODIGO");
    Up_CadLembretes.insertSql =
        QStringLiteral("insert into TB_LEMBRETES (LEM_CODIGO, LEM_DATA, LEM_HORA, LEM_MENSAGEM) "
                       "values (:LEM_CODIGO, :LEM_DATA, :LEM_HORA, :LEM_MENSAGEM)");
    Up_CadLembretes.deleteSql =
        QStringLiteral("delete from TB_LEMBRETES where LEM_CODIGO = :OLD_LEM_CODIGO");
    const QString reminderAsRead = unchangedSinceRead({{"LEM_DATA", Compare::Value},
                                                       {"LEM_HORA", Compare::Text},
                                                       {"LEM_MENSAGEM", Compare::Value}});
    Up_CadLembretes.modifySql += reminderAsRead;
    Up_CadLembretes.deleteSql += reminderAsRead;
    Up_Lembretes = Up_CadLembretes;

    Q_Lembretes.setSql(QStringLiteral("SELECT * FROM TB_LEMBRETES WHERE "
                                      "CAST(LEM_DATA || ' ' || LEM_HORA AS DATE) <= :DATAEHORA"));
    Q_Lembretes.addField(QStringLiteral("LEM_MENSAGEM"), Kind::TextBlob);
    Q_Lembretes.addField(QStringLiteral("LEM_DATA"), Kind::DateTime)
        .setEditMask(QStringLiteral("99/99/9999;1;_"));
    Q_Lembretes.addField(QStringLiteral("LEM_HORA"), Kind::Text, 5)
        .setEditMask(QStringLiteral("99:99;1;_"));
    Q_Lembretes.addField(QStringLiteral("LEM_CODIGO"), Kind::Integer).setRequired(true);
    Q_Lembretes.setUpdateSql(&Up_Lembretes);
    Q_Lembretes.afterDelete = [this](DataSet& dataSet) { Q_LembretesAfterDelete(dataSet); };

    Q_CadLembretes.setSql(QStringLiteral("SELECT * FROM TB_LEMBRETES"));
    Q_CadLembretes.addField(QStringLiteral("LEM_CODIGO"), Kind::Integer).setRequired(true);
    Q_CadLembretes.addField(QStringLiteral("LEM_MENSAGEM"), Kind::TextBlob);
    Q_CadLembretes.addField(QStringLiteral("LEM_DATA"), Kind::DateTime)
        .setEditMask(QStringLiteral("!99/99/9999;1;_"));
    // A time that is no moment of a day would make the due check fail for every reminder.
    Q_CadLembretes.addField(QStringLiteral("LEM_HORA"), Kind::Text, 5)
        .setEditMask(QStringLiteral("!90:00;1;_"))
        .setRule([](const Field& field) -> std::optional<QString> {
            const QString text = field.asString().trimmed();
            if (QTime::fromString(text, QStringLiteral("H:mm")).isValid())
                return std::nullopt;
            return ResourceStrings::format(ResourceStrings::InvalidTime,
                                           {field.name(), field.asString()});
        });
    Q_CadLembretes.setUpdateSql(&Up_CadLembretes);
    Q_CadLembretes.setGenerator(QStringLiteral("GEN_LEMBRETES"), QStringLiteral("LEM_CODIGO"));
    Q_CadLembretes.afterPost = [this](DataSet& dataSet) { Q_CadLembretesAfterPost(dataSet); };
    Q_CadLembretes.afterDelete = [this](DataSet& dataSet) { Q_CadLembretesAfterPost(dataSet); };
}

void TDM::setUpConfiguration()
{
    // The table data set: every column and every row, with the row's database key, which
    // identifies the row to its update.
    static const UpdateSql configurationSql{
        QStringLiteral("insert into TB_CONFIGURACOES (CFG_CODIGO, CFG_SKIN, CFG_STARTWINDOWS, "
                       "CFG_STARTMINIMIZADO, CFG_IDIOMA) values (:CFG_CODIGO, :CFG_SKIN, "
                       ":CFG_STARTWINDOWS, :CFG_STARTMINIMIZADO, :CFG_IDIOMA)"),
        QStringLiteral("update TB_CONFIGURACOES set CFG_CODIGO = :CFG_CODIGO, "
                       "CFG_SKIN = :CFG_SKIN, CFG_STARTWINDOWS = :CFG_STARTWINDOWS, "
                       "CFG_STARTMINIMIZADO = :CFG_STARTMINIMIZADO, CFG_IDIOMA = :CFG_IDIOMA "
                       "where RDB$DB_KEY = :OLD_DB_KEY"),
        QStringLiteral("delete from TB_CONFIGURACOES where RDB$DB_KEY = :OLD_DB_KEY")};
    TB_Configuracao.setSql(QStringLiteral("SELECT RDB$DB_KEY, CFG_CODIGO, "
                                          "CFG_SKIN, CFG_STARTWINDOWS, CFG_STARTMINIMIZADO, "
                                          "CFG_IDIOMA FROM TB_CONFIGURACOES"));
    // The database names the row-key column DB_KEY.
    TB_Configuracao.addField(QStringLiteral("DB_KEY"), Kind::Text, 8);
    TB_Configuracao.addField(QStringLiteral("CFG_CODIGO"), Kind::Integer);
    TB_Configuracao.addField(QStringLiteral("CFG_SKIN"), Kind::Text, 10);
    TB_Configuracao.addField(QStringLiteral("CFG_STARTWINDOWS"), Kind::Text, 1);
    TB_Configuracao.addField(QStringLiteral("CFG_STARTMINIMIZADO"), Kind::Text, 1);
    TB_Configuracao.addField(QStringLiteral("CFG_IDIOMA"), Kind::Integer);
    TB_Configuracao.setUpdateSql(&configurationSql);
    TB_Configuracao.afterPost = [this](DataSet& dataSet) { TB_ConfiguracaoAfterPost(dataSet); };
}

bool TDM::DataModuleCreate()
{
    DB_Agenda.close();
    const QString startupFile = applicationFolder() + QStringLiteral("/BaseAgenda.ini");
    if (QFileInfo::exists(startupFile)) {
        DB_Agenda.setDatabaseName(readPrivateProfileString(startupFile, QStringLiteral("BANCO"),
                                                           QStringLiteral("CAMINHO")));
        try {
            DB_Agenda.open();
        } catch (const Error&) {
            return false;
        }
    }
    const QVariant skin = TB_Configuracao.fieldByName(QStringLiteral("CFG_SKIN")).value();
    const QString skinName = skin.isNull() ? kNoSkin : skin.toString();
    if (skinName != kNoSkin)
        activateSkin(skinName);
    return true;
}

int TDM::languageIndex() const
{
    return static_cast<int>(TB_Configuracao.fieldByName(QStringLiteral("CFG_IDIOMA")).asInteger());
}

void TDM::DB_AgendaAfterConnect()
{
    // An older database gets the birthday index; one in use by another station gets it at a
    // later start.
    try {
        upgradeAgendaDatabase(DB_Agenda);
    } catch (const DbError&) {
    }
    TB_Configuracao.close();
    TB_Configuracao.open();
}

void TDM::applySaveRule(DataSet& dataSet)
{
    dataSet.applyUpdates();
    Trans_Agenda.commitRetaining();
}

void TDM::Q_AgendaAfterPost(DataSet& dataSet)
{
    applySaveRule(dataSet);
}

void TDM::Q_AgendaCalcFields(DataSet&)
{
    contactCityAndState_->setValue(contactCity_->asString() + QStringLiteral(" - ") +
                                   contactState_->asString());
}

void TDM::Q_CadLembretesAfterPost(DataSet& dataSet)
{
    applySaveRule(dataSet);
}

void TDM::Q_LembretesAfterDelete(DataSet& dataSet)
{
    applySaveRule(dataSet);
}

void TDM::TB_ConfiguracaoAfterPost(DataSet& dataSet)
{
    applySaveRule(dataSet);

    if (dataSet.fieldByName(QStringLiteral("CFG_STARTWINDOWS")).asString() == kYes)
        Autostart::writeEntry(kAutostartValue, QCoreApplication::applicationFilePath(),
                              QStringLiteral("tarvo-agenda"));
    else
        Autostart::removeEntry(kAutostartValue);

    const QVariant skin = dataSet.fieldByName(QStringLiteral("CFG_SKIN")).value();
    if (!skin.isNull() && skin.toString() != kNoSkin)
        activateSkin(skin.toString());
}

QString TDM::skinFile(const QString& skin)
{
    return resolvePathIgnoringCase(applicationFolder(),
                                   QStringLiteral("skins/") + skin + QStringLiteral(".skn"));
}

void TDM::activateSkin(const QString& skin)
{
    sd1.setSkinFile(skinFile(skin));
    sd1.activate();
}
