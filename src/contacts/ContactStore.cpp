#include "contacts/ContactStore.h"

#include "db/DataSet.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDateTime>
#include <QStringList>

namespace {

QStringList columnNames()
{
    QStringList names;
    for (const ContactColumn& column : contactColumns())
        names.append(QString::fromLatin1(column.name));
    names.append(QString::fromLatin1(kBirthDateColumn));
    return names;
}

// An empty text is stored as NULL, as the contact window stores it.
QVariant stored(const QString& text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant stored(const QDate& date)
{
    return date.isValid() ? QVariant(QDateTime(date, QTime(0, 0))) : QVariant();
}

void bind(Statement& statement, const Contact& contact)
{
    for (const ContactColumn& column : contactColumns())
        statement.setParameter(QString::fromLatin1(column.name), stored(contact[column.field]));
    statement.setParameter(QString::fromLatin1(kBirthDateColumn), stored(contact.birthDate));
}

Contact contactFrom(const std::vector<QVariant>& values)
{
    Contact contact;
    for (std::size_t i = 0; i < kContactFieldCount; ++i)
        contact.texts[i] = values[i].toString();
    contact.birthDate = values[kContactFieldCount].toDateTime().date();
    return contact;
}

} // namespace

std::vector<StoredContact> readStoredContacts(Transaction& transaction)
{
    Statement select(transaction, QStringLiteral("select AGE_CODIGO, %1 from TB_AGENDA")
                                      .arg(columnNames().join(QStringLiteral(", "))));
    select.execute();
    std::vector<StoredContact> contacts;
    while (select.fetchNext()) {
        std::vector<QVariant> values;
        for (int column = 1; column < select.columnCount(); ++column)
            values.push_back(select.value(column));
        contacts.push_back({select.value(0).toLongLong(), contactFrom(values)});
    }
    return contacts;
}

std::vector<Contact> contactsOf(DataSet& dataSet)
{
    dataSet.fetchAll();
    std::vector<int> fields;
    for (const QString& name : columnNames())
        fields.push_back(dataSet.fieldByName(name).index());
    std::vector<Contact> contacts;
    for (int row = 0; row < dataSet.recordCount(); ++row) {
        std::vector<QVariant> values;
        for (const int field : fields)
            values.push_back(dataSet.value(row, field));
        contacts.push_back(contactFrom(values));
    }
    return contacts;
}

void writeContacts(Connection& connection, const ContactWrites& writes)
{
    const QStringList columns = columnNames();
    Transaction transaction(connection);
    transaction.start();
    Statement insert(
        transaction,
        QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, %1) values (:AGE_CODIGO, "
                       ":%2)")
            .arg(columns.join(QStringLiteral(", ")), columns.join(QStringLiteral(", :"))));
    for (const Contact& contact : writes.additions) {
        insert.setParameter(QStringLiteral("AGE_CODIGO"),
                            generatorNextValue(transaction, QStringLiteral("GEN_AGENDA")));
        bind(insert, contact);
        insert.execute();
    }
    QStringList assignments;
    for (const QString& column : columns)
        assignments.append(QStringLiteral("%1 = :%1").arg(column));
    Statement update(transaction,
                     QStringLiteral("update TB_AGENDA set %1 where AGE_CODIGO = :AGE_CODIGO")
                         .arg(assignments.join(QStringLiteral(", "))));
    for (const StoredContact& contact : writes.updates) {
        update.setParameter(QStringLiteral("AGE_CODIGO"), contact.code);
        bind(update, contact.contact);
        update.execute();
    }
    // The transaction's owner rolls back whatever an error above left undone.
    transaction.commit();
}
