#include "U_DM.h"
#include "db/DbError.h"
#include "db/Statement.h"
#include "platform/AppFolder.h"
#include "platform/Autostart.h"
#include "platform/ResourceStrings.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using Steps = std::function<void(DataSet&)>;
Q_DECLARE_METATYPE(Steps)

// The data module on a fresh database: the data sets' rules and the save rule, seen from a
// second attachment as another machine would see them.
class TestDataModule : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openingConnectsAndLoadsTheConfiguration();
    void dataLayerRules_data();
    void dataLayerRules();
    void savedContactIsVisibleAtOnceWithUntouchedColumnsNull();
    void newKeyIsDrawnAtOnceAndACancelLeavesAGap();
    void postWithoutANameIsRefusedNamingTheField();
    void cityAndState_data();
    void cityAndState();
    void modifyOfARowDeletedElsewhereFailsAndStaysMarked();
    void lockConflictFailsAtOnceAndALaterSaveWritesTheRow();
    void dueRemindersAreDeletedAtOnce();
    void skinNameIsCutToItsWidthAndApplied();
    void autostartEntryFollowsEverySave();
    void unwritableConfigurationFolderStillSavesTheRow();
    void shutdownDiscardsEditsAndCommits();

private:
    void addContact(int code, const QString& name);
    QStringList query(const QString& sql);
    QStringList rows(DataSet& dataSet);
    void saveConfiguration(const QString& field, const QVariant& value);

    std::unique_ptr<TempDatabase> db_;
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<QTemporaryDir> config_;
};

void TestDataModule::init()
{
    db_ = std::make_unique<TempDatabase>();
    QVERIFY2(db_->isValid(), qPrintable(db_->error()));
    config_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
    setApplicationFolder(db_->folder());
    dm_ = std::make_unique<TDM>();
    DM = dm_.get();
    dm_->DB_Agenda.setDatabaseName(db_->path());
}

void TestDataModule::cleanup()
{
    dm_.reset();
    DM = nullptr;
    db_.reset();
    config_.reset();
}

void TestDataModule::addContact(int code, const QString& name)
{
    Connection connection(db_->path());
    connection.open();
    Transaction transaction(connection);
    Statement insert(
        transaction,
        QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME) values (:C, :N)"));
    insert.setParameter(QStringLiteral("C"), code);
    insert.setParameter(QStringLiteral("N"), name);
    insert.execute();
    transaction.commit();
}

// Rows of a query through a second attachment, each row's columns joined by "|".
QStringList TestDataModule::query(const QString& sql)
{
    Connection connection(db_->path());
    connection.open();
    Transaction transaction(connection);
    Statement statement(transaction, sql);
    statement.execute();
    QStringList result;
    while (statement.fetchNext()) {
        QStringList columns;
        for (int i = 0; i < statement.columnCount(); ++i) {
            const QVariant value = statement.value(i);
            columns << (value.isNull() ? QStringLiteral("NULL") : value.toString());
        }
        result << columns.join(u'|');
    }
    return result;
}

QStringList TestDataModule::rows(DataSet& dataSet)
{
    QStringList names;
    if (dataSet.isActive())
        dataSet.fetchAll();
    const int name = dataSet.fieldByName(QStringLiteral("AGE_NOME")).index();
    for (int row = 0; row < dataSet.recordCount(); ++row)
        names << dataSet.value(row, name).toString();
    return names;
}

void TestDataModule::saveConfiguration(const QString& field, const QVariant& value)
{
    DataSet& configuration = dm_->TB_Configuracao;
    configuration.open();
    configuration.edit();
    configuration.fieldByName(field).setValue(value);
    configuration.post();
}

void TestDataModule::openingConnectsAndLoadsTheConfiguration()
{
    QVERIFY(!dm_->DB_Agenda.isOpen());
    QCOMPARE(dm_->languageIndex(), 0); // a closed configuration reads as 0
    dm_->Q_Agenda.open();
    QVERIFY(dm_->DB_Agenda.isOpen());
    QVERIFY(dm_->Trans_Agenda.isActive());
    QVERIFY(dm_->TB_Configuracao.isActive());
    QCOMPARE(dm_->languageIndex(), 2);
    QCOMPARE(dm_->TB_Configuracao.fieldByName(QStringLiteral("CFG_SKIN")).asString(),
             QStringLiteral("Nenhum"));
}

void TestDataModule::dataLayerRules_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QStringList>("rows");     // names in the data set, in row order
    QTest::addColumn<QStringList>("database"); // names in the database, by name
    QTest::addColumn<DataSet::State>("state");
    QTest::addColumn<QString>("error");

    auto name = [](DataSet& q) -> Field& { return q.fieldByName(QStringLiteral("AGE_NOME")); };
    const QStringList both = {"Bia", "Dora"};
    const auto browse = DataSet::State::Browse;

    QTest::addRow("cancelling an edit restores the row") << Steps([=](DataSet& q) {
        q.edit();
        name(q).setValue("X");
        q.cancel();
    }) << both << both << browse << "";
    QTest::addRow("cancelling a new row drops it") << Steps([=](DataSet& q) {
        q.insert();
        name(q).setValue("X");
        q.cancel();
    }) << both << both << browse << "";
    QTest::addRow("moving after a change posts") << Steps([=](DataSet& q) {
        q.edit();
        name(q).setValue("Bea");
        q.next();
    }) << QStringList{"Bea", "Dora"} << QStringList{"Bea", "Dora"}
                                                 << browse << "";
    QTest::addRow("moving without a change cancels") << Steps([=](DataSet& q) {
        q.edit();
        q.next();
    }) << both << both << browse << "";
    QTest::addRow("a new row after a change posts the edit first") << Steps([=](DataSet& q) {
        q.edit();
        name(q).setValue("Bea");
        q.insert();
    }) << QStringList{"", "Bea", "Dora"} << QStringList{"Bea", "Dora"}
                                                                   << DataSet::State::Insert << "";
    QTest::addRow("a new row over an untouched new row drops it") << Steps([=](DataSet& q) {
        q.insert();
        q.insert();
    }) << QStringList{"", "Bia", "Dora"} << both << DataSet::State::Insert
                                                                  << "";
    QTest::addRow("deleting while entering a new row cancels it") << Steps([=](DataSet& q) {
        q.insert();
        name(q).setValue("X");
        q.remove();
    }) << both << both << browse << "";
    QTest::addRow("deleting writes the deletion at once")
        << Steps([=](DataSet& q) { q.remove(); }) << QStringList{"Dora"} << QStringList{"Dora"}
        << browse << "";
    QTest::addRow("a posted row is not re-read or re-sorted") << Steps([=](DataSet& q) {
        q.last();
        q.insert();
        name(q).setValue("Aaa");
        q.post();
    }) << QStringList{"Bia", "Aaa", "Dora"} << QStringList{"Aaa", "Bia", "Dora"}
                                                              << browse << "";
    QTest::addRow("append adds after the last row") << Steps([=](DataSet& q) {
        q.append();
        name(q).setValue("Zé");
        q.post();
    }) << QStringList{"Bia", "Dora", "Zé"} << QStringList{"Bia", "Dora", "Zé"}
                                                    << browse << "";
    QTest::addRow("closing discards an edit") << Steps([=](DataSet& q) {
        q.edit();
        name(q).setValue("X");
        q.close();
        q.open();
    }) << both << both << browse << "";
    QTest::addRow("editing an empty data set begins a new row") << Steps([=](DataSet& q) {
        q.remove();
        q.remove();
        q.edit();
    }) << QStringList{""} << QStringList{} << DataSet::State::Insert
                                                                << "";
    QTest::addRow("deleting on an empty data set is refused")
        << Steps([=](DataSet& q) {
               q.remove();
               q.remove();
               q.remove();
           })
        << QStringList{} << QStringList{} << browse
        << "Cannot perform this operation on an empty dataset";
    QTest::addRow("a row without a name is not posted") << Steps([=](DataSet& q) {
        q.insert();
        q.post();
    }) << QStringList{"", "Bia", "Dora"} << both << DataSet::State::Insert
                                                        << "Field 'AGE_NOME' must have a value";
    QTest::addRow("text is cut to the field's width") << Steps([=](DataSet& q) {
        q.edit();
        name(q).setValue(QString(50, u'x'));
        q.post();
    }) << QStringList{QString(45, u'x'), "Dora"} << QStringList{"Dora", QString(45, u'x')}
                                                      << browse << "";
    QTest::addRow("an edit outside edit mode is refused")
        << Steps([=](DataSet& q) { name(q).setValue("X"); }) << both << both << browse
        << "Dataset not in edit or insert mode";
}

void TestDataModule::dataLayerRules()
{
    QFETCH(Steps, steps);
    QFETCH(QString, error);
    addContact(101, QStringLiteral("Bia"));
    addContact(102, QStringLiteral("Dora"));
    DataSet& contacts = dm_->Q_Agenda;
    contacts.open();

    QString raised;
    try {
        steps(contacts);
    } catch (const Error& e) {
        raised = e.message();
    }
    QCOMPARE(raised, error);
    QTEST(rows(contacts), "rows");
    QTEST(contacts.state(), "state");
    QTEST(query(QStringLiteral("select AGE_NOME from TB_AGENDA order by AGE_NOME")), "database");
}

void TestDataModule::savedContactIsVisibleAtOnceWithUntouchedColumnsNull()
{
    DataSet& contacts = dm_->Q_Agenda;
    contacts.open();
    contacts.insert();
    contacts.fieldByName(QStringLiteral("AGE_NOME")).setAsString(QStringLiteral("Ana"));
    contacts.fieldByName(QStringLiteral("AGE_CIDADE")).setAsString(QString()); // emptied
    contacts.post();
    contacts.insert();
    contacts.fieldByName(QStringLiteral("AGE_NOME")).setValue(QStringLiteral("Bia"));
    contacts.fieldByName(QStringLiteral("AGE_CEP")).setValue(QStringLiteral("12.345-678"));
    contacts.post();

    QCOMPARE(query(QStringLiteral("select * from TB_AGENDA where AGE_NOME = 'Ana'")),
             QStringList{QStringLiteral("1|Ana|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|"
                                        "NULL|NULL|NULL|NULL")});
    QCOMPARE(query(QStringLiteral("select AGE_CEP from TB_AGENDA where AGE_NOME = 'Bia'")),
             QStringList{QStringLiteral("12.345-678")});
    QVERIFY(dm_->Trans_Agenda.isActive());
}

void TestDataModule::newKeyIsDrawnAtOnceAndACancelLeavesAGap()
{
    DataSet& contacts = dm_->Q_Agenda;
    contacts.open();
    Field& key = contacts.fieldByName(QStringLiteral("AGE_CODIGO"));
    contacts.insert();
    QCOMPARE(key.asInteger(), 1);
    QVERIFY(!contacts.isModified());
    contacts.cancel();
    contacts.insert();
    QCOMPARE(key.asInteger(), 2);
    contacts.fieldByName(QStringLiteral("AGE_NOME")).setValue(QStringLiteral("Ana"));
    contacts.post();
    QCOMPARE(query(QStringLiteral("select AGE_CODIGO from TB_AGENDA")), QStringList{"2"});

    DataSet& reminders = dm_->Q_CadLembretes;
    reminders.open();
    reminders.insert();
    QCOMPARE(reminders.fieldByName(QStringLiteral("LEM_CODIGO")).asInteger(), 1);
}

void TestDataModule::postWithoutANameIsRefusedNamingTheField()
{
    DataSet& contacts = dm_->Q_Agenda;
    contacts.open();
    QSignalSpy refused(&contacts, &DataSet::postRefused);
    contacts.insert();
    contacts.fieldByName(QStringLiteral("AGE_CIDADE")).setValue(QStringLiteral("Lapa"));
    QVERIFY_THROWS_EXCEPTION(Error, contacts.post());
    QCOMPARE(refused.size(), 1);
    QCOMPARE(refused.first().first().value<const Field*>()->name(), QStringLiteral("AGE_NOME"));
    QCOMPARE(contacts.state(), DataSet::State::Insert);
    QVERIFY(query(QStringLiteral("select * from TB_AGENDA")).isEmpty());
}

void TestDataModule::cityAndState_data()
{
    QTest::addColumn<QVariant>("city");
    QTest::addColumn<QVariant>("state");
    QTest::addColumn<QString>("expected");
    QTest::addRow("both") << QVariant("Curitiba") << QVariant("PR") << "Curitiba - PR";
    QTest::addRow("neither") << QVariant() << QVariant() << " - ";
    QTest::addRow("city only") << QVariant("Lapa") << QVariant() << "Lapa - ";
}

void TestDataModule::cityAndState()
{
    QFETCH(QVariant, city);
    QFETCH(QVariant, state);
    addContact(1, QStringLiteral("Ana"));
    DataSet& contacts = dm_->Q_Agenda;
    contacts.open();
    QCOMPARE(contacts.fieldByName(QStringLiteral("CIDADE_UF")).asString(), QStringLiteral(" - "));
    contacts.edit();
    contacts.fieldByName(QStringLiteral("AGE_CIDADE")).setValue(city);
    contacts.fieldByName(QStringLiteral("AGE_UF")).setValue(state);
    QTEST(contacts.fieldByName(QStringLiteral("CIDADE_UF")).asString(), "expected");
    contacts.post();
    contacts.close();
    contacts.open(); // read back from the database
    QTEST(contacts.fieldByName(QStringLiteral("CIDADE_UF")).asString(), "expected");
}

void TestDataModule::modifyOfARowDeletedElsewhereFailsAndStaysMarked()
{
    addContact(1, QStringLiteral("Ana"));
    DataSet& contacts = dm_->Q_Agenda;
    contacts.open();
    {
        Connection connection(db_->path());
        connection.open();
        Transaction transaction(connection);
        Statement(transaction, QStringLiteral("delete from TB_AGENDA")).execute();
        transaction.commit();
    }
    contacts.edit();
    contacts.fieldByName(QStringLiteral("AGE_NOME")).setValue(QStringLiteral("Bia"));
    try {
        contacts.post();
        QFAIL("the modify of a deleted row succeeded");
    } catch (const Error& e) {
        QCOMPARE(e.message(), ResourceStrings::load(ResourceStrings::RowChanged));
    }
    QCOMPARE(contacts.state(), DataSet::State::Browse);
    QCOMPARE(contacts.rowStatus(0), DataSet::RowStatus::Modified);
    QVERIFY(contacts.updatesPending());
}

void TestDataModule::lockConflictFailsAtOnceAndALaterSaveWritesTheRow()
{
    addContact(1, QStringLiteral("Ana"));
    DataSet& contacts = dm_->Q_Agenda;
    contacts.open();

    auto other = std::make_unique<Connection>(db_->path());
    other->open();
    auto otherTransaction = std::make_unique<Transaction>(*other);
    Statement(*otherTransaction, QStringLiteral("update TB_AGENDA set AGE_FAX = '1'")).execute();

    contacts.edit();
    contacts.fieldByName(QStringLiteral("AGE_NOME")).setValue(QStringLiteral("Bia"));
    try {
        contacts.post();
        QFAIL("the write of a locked row succeeded");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(QLatin1String("update conflicts with concurrent update")),
                 qPrintable(e.message()));
    }
    QVERIFY(contacts.updatesPending());

    otherTransaction->rollback();
    contacts.edit();
    contacts.fieldByName(QStringLiteral("AGE_CIDADE")).setValue(QStringLiteral("Lapa"));
    contacts.post();
    QVERIFY(!contacts.updatesPending());
    QCOMPARE(query(QStringLiteral("select AGE_NOME, AGE_CIDADE from TB_AGENDA")),
             QStringList{QStringLiteral("Bia|Lapa")});
}

void TestDataModule::dueRemindersAreDeletedAtOnce()
{
    {
        Connection connection(db_->path());
        connection.open();
        Transaction transaction(connection);
        Statement(transaction, QStringLiteral("insert into TB_LEMBRETES (LEM_CODIGO, LEM_DATA, "
                                              "LEM_HORA, LEM_MENSAGEM) values (5, "
                                              "'2026-12-09', '23:59', 'Ligar')"))
            .execute();
        transaction.commit();
    }
    DataSet& due = dm_->Q_Lembretes;
    due.setParameter(QStringLiteral("DATAEHORA"), QDateTime(QDate(2026, 12, 10), QTime(8, 0)));
    due.open();
    QCOMPARE(due.fieldByName(QStringLiteral("LEM_MENSAGEM")).asString(), QStringLiteral("Ligar"));
    due.remove();
    QVERIFY(query(QStringLiteral("select * from TB_LEMBRETES")).isEmpty());
}

void TestDataModule::skinNameIsCutToItsWidthAndApplied()
{
    saveConfiguration(QStringLiteral("CFG_SKIN"), QStringLiteral("Azul-Marinho"));
    QCOMPARE(query(QStringLiteral("select CFG_SKIN from TB_CONFIGURACOES")),
             QStringList{QStringLiteral("Azul-Marin")});
    QVERIFY(dm_->sd1.isActive());
    QCOMPARE(dm_->sd1.skinFile(), db_->folder() + QStringLiteral("/skins/Azul-Marin.skn"));

    dm_->sd1.deactivate();
    saveConfiguration(QStringLiteral("CFG_SKIN"), QStringLiteral("Nenhum"));
    QVERIFY(!dm_->sd1.isActive());
}

void TestDataModule::autostartEntryFollowsEverySave()
{
    const QString entry = Autostart::entryFileName(QStringLiteral("Tarvo Agenda"));
    QCOMPARE(entry, config_->path() + QStringLiteral("/autostart/tarvo-agenda.desktop"));

    saveConfiguration(QStringLiteral("CFG_STARTWINDOWS"), QStringLiteral("S"));
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    file.close();
    QVERIFY(content.contains("Name=Tarvo Agenda\n"));
    QVERIFY(content.contains("Exec=" + QCoreApplication::applicationFilePath().toUtf8() + "\n"));
    QVERIFY(content.contains("Icon=tarvo-agenda\n"));

    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("stale");
    file.close();
    saveConfiguration(QStringLiteral("CFG_IDIOMA"), 1); // only the language changes
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
    file.close();

    saveConfiguration(QStringLiteral("CFG_STARTWINDOWS"), QStringLiteral("N"));
    QVERIFY(!QFile::exists(entry));
    saveConfiguration(QStringLiteral("CFG_STARTWINDOWS"), QStringLiteral("s")); // not "S"
    QVERIFY(!QFile::exists(entry));
    saveConfiguration(QStringLiteral("CFG_STARTWINDOWS"), QStringLiteral("S"));
    saveConfiguration(QStringLiteral("CFG_STARTWINDOWS"), QVariant());
    QVERIFY(!QFile::exists(entry));
}

void TestDataModule::unwritableConfigurationFolderStillSavesTheRow()
{
    qputenv("XDG_CONFIG_HOME", (config_->path() + QStringLiteral("/missing")).toLocal8Bit());
    DataSet& configuration = dm_->TB_Configuracao;
    configuration.open();
    configuration.edit();
    configuration.fieldByName(QStringLiteral("CFG_STARTWINDOWS")).setValue(QStringLiteral("S"));
    configuration.fieldByName(QStringLiteral("CFG_SKIN")).setValue(QStringLiteral("Azul"));
    try {
        configuration.post();
        QFAIL("writing the autostart entry succeeded");
    } catch (const Error& e) {
        QCOMPARE(e.message(), QStringLiteral("Failed to create key Run"));
    }
    QCOMPARE(query(QStringLiteral("select CFG_STARTWINDOWS, CFG_SKIN from TB_CONFIGURACOES")),
             QStringList{QStringLiteral("S|Azul")});
    QVERIFY(!dm_->sd1.isActive()); // the skin step did not run
}

void TestDataModule::shutdownDiscardsEditsAndCommits()
{
    addContact(1, QStringLiteral("Ana"));
    DataSet& contacts = dm_->Q_Agenda;
    contacts.open();
    contacts.edit();
    contacts.fieldByName(QStringLiteral("AGE_NOME")).setValue(QStringLiteral("Bia"));
    Statement(dm_->Trans_Agenda,
              QStringLiteral("insert into TB_AGENDA (AGE_CODIGO, AGE_NOME) values (9, 'Cid')"))
        .execute();
    dm_.reset();
    DM = nullptr;
    QCOMPARE(query(QStringLiteral("select AGE_NOME from TB_AGENDA order by AGE_CODIGO")),
             (QStringList{"Ana", "Cid"}));
}

QTEST_MAIN(TestDataModule)
#include "tst_datamodule.moc"
