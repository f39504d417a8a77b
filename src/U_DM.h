#pragma once

#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/Transaction.h"
#include "widgets/SkinEngine.h"

#include <QObject>

// The data module: the one owner of the connection, the transaction and every data set that
// the windows share, plus the skin. Windows bind to these data sets and never write to the
// database any other way.
class TDM : public QObject
{
    Q_OBJECT

public:
    explicit TDM(QObject* parent = nullptr);
    // Discards unsaved edits, commits the transaction and closes the connection.
    ~TDM() override;

    // Reads BaseAgenda.ini, connects when it exists and applies the saved skin. Returns false
    // when the file exists and the connection could not be made, for whatever reason.
    bool DataModuleCreate();

    // The language index: CFG_IDIOMA of the configuration row as it is now; NULL reads as 0.
    int languageIndex() const;

    Connection DB_Agenda;
    Transaction Trans_Agenda;

    UpdateSql Up_Agenda;
    UpdateSql Up_Lembretes;
    UpdateSql Up_CadLembretes;

    DataSet Q_Agenda;
    DataSet Q_Aniversariantes;
    DataSet Q_Lembretes;
    DataSet Q_CadLembretes;
    DataSet TB_Configuracao;

    SkinEngine sd1;
    // The file of a skin by its name, in the application's skins folder.
    static QString skinFile(const QString& skin);

private:
    void DB_AgendaAfterConnect();
    void Q_AgendaAfterPost(DataSet& dataSet);
    void Q_AgendaCalcFields(DataSet& dataSet);
    void Q_CadLembretesAfterPost(DataSet& dataSet);
    void Q_LembretesAfterDelete(DataSet& dataSet);
    void TB_ConfiguracaoAfterPost(DataSet& dataSet);

    void setUpContacts();
    void setUpBirthdays();
    void setUpReminders();
    void setUpConfiguration();
    // Writes the data set's cached changes and commits, keeping the transaction open.
    void applySaveRule(DataSet& dataSet);
    void activateSkin(const QString& skin);

    // The fields CIDADE_UF is worked out from, found once.
    Field* contactCity_ = nullptr;
    Field* contactState_ = nullptr;
    Field* contactCityAndState_ = nullptr;
};

// The single data module, created at start-up.
extern TDM* DM;
