// The contact data set against the bare client layer, side by side in one run: opening
// Q_Agenda with its design statement and with a name search, until the first 30 rows are
// there and until the last, at 1,000, 10,000 and 100,000 contacts. Prints each time and the
// ratio data set / bare.

#include "U_DM.h"
#include "db/DatabaseCreator.h"
#include "db/Statement.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

constexpr int kFirstRows = 30;
constexpr int kRepeats = 5;

const QString kDesign = QStringLiteral("SELECT * FROM TB_AGENDA ORDER BY AGE_NOME");
const QString kSearch =
    QStringLiteral("Select * from tb_Agenda where \nUpper(Age_Nome) LIKE '%SIL%'");

void fillContacts(Transaction& transaction, int count)
{
    const QStringList names = {"Silva", "Souza", "Oliveira", "Sílvia", "Santos", "Lima"};
    Statement insert(transaction,
                     QStringLiteral("INSERT INTO TB_AGENDA (AGE_CODIGO, AGE_NOME, AGE_CIDADE, "
                                    "AGE_UF, AGE_TELEFONE, AGE_OBS) VALUES (:C, :N, 'Curitiba', "
                                    "'PR', '(41) 3333-4444', 'Cliente desde 2010')"));
    for (int i = 0; i < count; ++i) {
        insert.setParameter(QStringLiteral("C"), i);
        insert.setParameter(
            QStringLiteral("N"),
            QStringLiteral("%1 %2").arg(names[i % names.size()]).arg((i * 7919) % count));
        insert.execute();
    }
    transaction.commitRetaining();
}

double bestOf(const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < kRepeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// rows < 0: every row.
void throughDataSet(DataSet& contacts, const QString& sql, int rows)
{
    contacts.setSql(sql);
    contacts.open();
    if (rows < 0)
        contacts.fetchAll();
    else
        contacts.fetchMore(rows - contacts.recordCount());
    contacts.close();
}

void throughClient(Transaction& transaction, const QString& sql, int rows)
{
    Statement query(transaction, sql);
    query.execute();
    for (int i = 0; (rows < 0 || i < rows) && query.fetchNext(); ++i) {
        for (int c = 0; c < query.columnCount(); ++c)
            (void)query.value(c);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("contacts"), 9)
               .arg(QStringLiteral("statement"), 9)
               .arg(QStringLiteral("rows"), 6)
               .arg(QStringLiteral("data set ms"), 12)
               .arg(QStringLiteral("bare ms"), 10)
               .arg(QStringLiteral("ratio"), 6);
    for (const int count : {1000, 10000, 100000}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BENCH.FDB"));
        createAgendaDatabase(path);
        TDM dm;
        dm.DB_Agenda.setDatabaseName(path);
        dm.DB_Agenda.open();
        fillContacts(dm.Trans_Agenda, count);

        for (const auto& [label, sql] :
             {std::pair{"design", kDesign}, std::pair{"search", kSearch}}) {
            for (const int rows : {kFirstRows, -1}) {
                const double dataSet = bestOf([&] { throughDataSet(dm.Q_Agenda, sql, rows); });
                const double bare = bestOf([&] { throughClient(dm.Trans_Agenda, sql, rows); });
                out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                           .arg(count, 9)
                           .arg(QString::fromLatin1(label), 9)
                           .arg(rows < 0 ? QStringLiteral("all") : QString::number(rows), 6)
                           .arg(dataSet, 12, 'f', 3)
                           .arg(bare, 10, 'f', 3)
                           .arg(dataSet / bare, 6, 'f', 2);
                out.flush();
            }
        }
    }
    return 0;
}
