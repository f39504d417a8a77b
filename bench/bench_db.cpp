// Side-by-side timings of the contact list's first rows at 100,000 contacts: in name order
// through the name index, against the same order forced through a sort, and against reading
// every row. Prints each time and the ratios of one run.

#include "db/Connection.h"
#include "db/DatabaseCreator.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

constexpr int kContacts = 100000;
constexpr int kFirstRows = 20;
constexpr int kRepeats = 5;

void fillContacts(Transaction& transaction)
{
    Statement insert(transaction, QStringLiteral("INSERT INTO TB_AGENDA (AGE_CODIGO, AGE_NOME, "
                                                 "AGE_CIDADE) VALUES (:C, :N, 'Curitiba')"));
    for (int i = 0; i < kContacts; ++i) {
        insert.setParameter(QStringLiteral("C"), i);
        // Names in an order unrelated to the keys, so the sort has work to do.
        insert.setParameter(QStringLiteral("N"),
                            QStringLiteral("Contato %1").arg((i * 7919) % kContacts));
        insert.execute();
    }
    transaction.commitRetaining();
}

// Best of several runs, in milliseconds.
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

void readRows(Transaction& transaction, const QString& sql, int rows)
{
    Statement query(transaction, sql);
    query.execute();
    for (int i = 0; (rows < 0 || i < rows) && query.fetchNext(); ++i) {
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BENCH.FDB"));
    createAgendaDatabase(path);
    Connection connection(path);
    connection.open();
    Transaction transaction(connection);
    fillContacts(transaction);

    const QString byIndex = QStringLiteral("SELECT * FROM TB_AGENDA ORDER BY AGE_NOME");
    const QString bySort = QStringLiteral("SELECT * FROM TB_AGENDA ORDER BY AGE_NOME || ''");
    const double indexed = bestOf([&] { readRows(transaction, byIndex, kFirstRows); });
    const double sorted = bestOf([&] { readRows(transaction, bySort, kFirstRows); });
    const double everything = bestOf([&] { readRows(transaction, byIndex, -1); });

    out << "contacts: " << kContacts << ", first rows: " << kFirstRows << "\n";
    out << QStringLiteral("first rows through the name index: %1 ms\n").arg(indexed, 0, 'f', 3);
    out << QStringLiteral("first rows through a sort:         %1 ms\n").arg(sorted, 0, 'f', 3);
    out << QStringLiteral("every row through the name index:  %1 ms\n").arg(everything, 0, 'f', 3);
    out << QStringLiteral("sort / index: %1x\n").arg(sorted / indexed, 0, 'f', 1);
    out << QStringLiteral("every row / first rows: %1x\n").arg(everything / indexed, 0, 'f', 1);
    return 0;
}
