#pragma once

#include "U_DM.h"
#include "support/TempDatabase.h"

#include <QVariant>
#include <QVariantHash>

#include <memory>

// A fresh database with the data module on it, as the program has them after start-up: the
// application folder is the database's folder, DM names the module and the configuration row
// is loaded. Check isValid() before use.
class AgendaFixture
{
public:
    AgendaFixture();
    ~AgendaFixture();
    AgendaFixture(const AgendaFixture&) = delete;
    AgendaFixture& operator=(const AgendaFixture&) = delete;

    bool isValid() const { return database_.isValid(); }
    QString error() const { return database_.error(); }
    const TempDatabase& database() const { return database_; }
    TDM& dm() { return *dm_; }

    // Copies the report templates the program ships into the application folder.
    static void installReportTemplates();
    // Saves one column of the configuration row.
    void setConfiguration(const QString& field, const QVariant& value);
    // Stores a contact through an attachment of its own: its columns by name.
    void addContact(const QVariantHash& columns);
    // Stores a reminder through an attachment of its own; NULL where a value is null.
    void addReminder(int code, const QVariant& date, const QVariant& time, const QVariant& message);

private:
    TempDatabase database_;
    std::unique_ptr<TDM> dm_;
};
