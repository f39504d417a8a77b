#include "support/AgendaFixture.h"

#include "platform/AppFolder.h"

AgendaFixture::AgendaFixture()
{
    if (!database_.isValid())
        return;
    setApplicationFolder(database_.folder());
    dm_ = std::make_unique<TDM>();
    DM = dm_.get();
    dm_->DB_Agenda.setDatabaseName(database_.path());
    dm_->TB_Configuracao.open();
}

AgendaFixture::~AgendaFixture()
{
    dm_.reset();
    DM = nullptr;
}

void AgendaFixture::setConfiguration(const QString& field, const QVariant& value)
{
    DataSet& configuration = dm_->TB_Configuracao;
    configuration.edit();
    configuration.fieldByName(field).setValue(value);
    configuration.post();
}
