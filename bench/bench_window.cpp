// What a person waits for in the main window, beside the bare client API in the same run: a
// key in the search box until the grid has painted, "Último" on every contact, the birthday
// check of the show step, "Visualizar" for 60 days, the start-up phases, and the resident
// memory. Realistic databases of 1,000, 10,000 and 100,000 contacts are generated once and
// kept in the build folder. Measurements alternate between the program and the bare client;
// each figure prints min and median in milliseconds and the ratio of the medians.

#include "BareClient.h"
#include "BenchFolder.h"
#include "ContactGenerator.h"
#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_Aniversariantes.h"
#include "U_DM.h"
#include "widgets/Application.h"

#include <QDateTimeEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kRepeats = 11;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

struct Sample
{
    std::vector<double> times;
    double min() const { return *std::min_element(times.begin(), times.end()); }
    double median() const
    {
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

double millisecondsOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void report(int contacts, const QString& figure, const Sample& program, const Sample& bare)
{
    out() << QStringLiteral("%1  %2 %3 %4  %5 %6  %7\n")
                 .arg(contacts, 7)
                 .arg(figure, -34)
                 .arg(program.min(), 9, 'f', 3)
                 .arg(program.median(), 9, 'f', 3)
                 .arg(bare.min(), 9, 'f', 3)
                 .arg(bare.median(), 9, 'f', 3)
                 .arg(program.median() / bare.median(), 6, 'f', 2);
    out().flush();
}

void reportAlone(int contacts, const QString& figure, const Sample& program)
{
    out() << QStringLiteral("%1  %2 %3 %4\n")
                 .arg(contacts, 7)
                 .arg(figure, -34)
                 .arg(program.min(), 9, 'f', 3)
                 .arg(program.median(), 9, 'f', 3);
    out().flush();
}

qint64 residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Watches a widget's paints.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    void arm() { painted_ = false; }
    // Settles whatever is pending, painting once more.
    void settle()
    {
        arm();
        widget_->update();
        wait();
        arm();
    }
    // Lets the event loop run until the widget has painted.
    void wait()
    {
        while (!painted_)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        // The paint itself has run once the events it came with are done.
        QCoreApplication::processEvents();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == widget_ && event->type() == QEvent::Paint)
            painted_ = true;
        return false;
    }

private:
    QWidget* widget_;
    bool painted_ = false;
};

void typeKey(QWidget* widget, QChar character)
{
    const int key = character.toUpper().unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(character));
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

// The birthday window the show step may open is closed as soon as it is up.
void closeBirthdayWindows()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* birthdays = qobject_cast<TFrmAniversariantes*>(widget);
            birthdays && birthdays->isVisible())
            birthdays->close();
    }
}

QString searchSql(const QString& pattern)
{
    return QStringLiteral("Select * from tb_Agenda where \nUpper(Age_Nome) LIKE '%%1%'")
        .arg(pattern);
}

QString birthdayKey(const QDate& date)
{
    return QString::number(date.month() * 100 + date.day());
}

void measure(const QString& database, int contacts)
{
    // An application folder of its own, with the language file the main window reads.
    const BenchFolder folder(database);
    if (!folder.isReady())
        return;
    QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName());
    QDir(QFileInfo(database).dir().filePath(QStringLiteral("copias"))).removeRecursively();

    QTimer birthdayCloser;
    QObject::connect(&birthdayCloser, &QTimer::timeout, &closeBirthdayWindows);
    birthdayCloser.start(1);

    // Start-up, as the program runs it: the data module, the main window, its first paint.
    Sample connect, create, firstPaint;
    auto dm = std::make_unique<TDM>();
    DM = dm.get();
    connect.times.push_back(millisecondsOf([&] { DM->DataModuleCreate(); }));
    std::unique_ptr<TFrmAgenda> window;
    create.times.push_back(millisecondsOf([&] { window.reset(CreateForm<TFrmAgenda>()); }));
    PaintWatch gridPaint(window->DBGrid1->viewport());
    firstPaint.times.push_back(millisecondsOf([&] {
        window->show();
        gridPaint.wait();
    }));
    birthdayCloser.stop();
    reportAlone(contacts, QStringLiteral("start: connect, read the ini"), connect);
    reportAlone(contacts, QStringLiteral("start: main window created"), create);
    reportAlone(contacts, QStringLiteral("start: shown and painted"), firstPaint);
    Sample startUp;
    startUp.times.push_back(connect.times[0] + create.times[0] + firstPaint.times[0]);
    reportAlone(contacts, QStringLiteral("start: total"), startUp);

    // The day's first start copies the database in the background (the bench's databases
    // lose their copies first, so every run makes one): keys typed meanwhile, then the copy's
    // whole time. Later keys are timed once it is done, so that both cores are the window's.
    {
        Sample typing;
        QElapsedTimer copying;
        copying.start();
        for (int i = 0; window->copiaAutomatica->isRunning(); ++i) {
            window->EdPesquisa->setText(i % 2 ? QStringLiteral("S") : QString());
            gridPaint.settle();
            typing.times.push_back(millisecondsOf([&] {
                typeKey(window->EdPesquisa, u'I');
                gridPaint.wait();
            }));
        }
        while (window->copiaAutomatica->isRunning())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        out() << QStringLiteral("%1  automatic copy at start-up: %2 ms\n")
                     .arg(contacts, 7)
                     .arg(copying.elapsed());
        if (!typing.times.empty())
            reportAlone(contacts, QStringLiteral("key during the automatic copy"), typing);
    }

    BareClient bare(database);
    Edit* search = window->EdPesquisa;
    const int screen = window->DBGrid1->rowsPerScreen();

    // A key in the search box, for a common pattern and one that matches nothing.
    for (const QString& pattern : {QStringLiteral("S"), QStringLiteral("SI"), QStringLiteral("SIL"),
                                   QStringLiteral("XYZQ")}) {
        Sample program, client, repaint;
        const bool matchesNothing = pattern == QLatin1String("XYZQ");
        for (int i = 0; i < kRepeats; ++i) {
            search->setText(pattern.chopped(1));
            gridPaint.settle();
            // A search that finds nothing after one that found nothing leaves nothing to paint.
            program.times.push_back(millisecondsOf([&] {
                typeKey(search, pattern.back());
                if (matchesNothing)
                    QCoreApplication::processEvents();
                else
                    gridPaint.wait();
            }));
            client.times.push_back(millisecondsOf(
                [&] { bare.fetch(searchSql(pattern), matchesNothing ? -1 : screen); }));
            repaint.times.push_back(
                millisecondsOf([&] { window->DBGrid1->viewport()->repaint(); }));
        }
        Sample bareAndPaint = client;
        if (!matchesNothing) {
            for (std::size_t i = 0; i < bareAndPaint.times.size(); ++i)
                bareAndPaint.times[i] += repaint.times[i];
        }
        report(contacts,
               matchesNothing ? QStringLiteral("key, no match / bare full scan")
                              : QStringLiteral("key \"%1\" / bare screen + repaint").arg(pattern),
               program, bareAndPaint);
    }

    // "Último" on every contact, then the memory the program holds.
    {
        out() << QStringLiteral("%1  resident memory before Ultimo: %2 MB\n")
                     .arg(contacts, 7)
                     .arg(residentKilobytes() / 1024.0, 0, 'f', 1);
        Sample program, client;
        for (int i = 0; i < 3; ++i) {
            search->setText(QStringLiteral("X"));
            search->setText(QString());
            gridPaint.settle();
            program.times.push_back(millisecondsOf([&] {
                window->BUltimo->click();
                gridPaint.wait();
            }));
            client.times.push_back(millisecondsOf([&] { bare.fetch(searchSql(QString())); }));
        }
        report(contacts, QStringLiteral("Ultimo, every row / bare all rows"), program, client);
        out() << QStringLiteral("%1  resident memory after Ultimo: %2 MB\n")
                     .arg(contacts, 7)
                     .arg(residentKilobytes() / 1024.0, 0, 'f', 1);
    }

    // The show step's birthday check, and "Visualizar" for 60 days.
    {
        const QDate today = QDate::currentDate();
        Sample program, client;
        for (int i = 0; i < kRepeats; ++i) {
            program.times.push_back(millisecondsOf([&] {
                DataSet& birthdays = DM->Q_Aniversariantes;
                birthdays.close();
                birthdays.setParameter(QStringLiteral("DATA"), QDateTime(today, QTime(0, 0)));
                birthdays.open();
                birthdays.close();
            }));
            client.times.push_back(millisecondsOf([&] {
                bare.fetch(QStringLiteral("SELECT AGE_NOME, AGE_TELEFONE FROM TB_AGENDA WHERE "
                                          "EXTRACT(MONTH FROM AGE_DATANASC) * 100 + "
                                          "EXTRACT(DAY FROM AGE_DATANASC) = %1")
                               .arg(birthdayKey(today)),
                           1);
            }));
        }
        report(contacts, QStringLiteral("birthday check / bare indexed"), program, client);

        std::unique_ptr<TFrmAniversariantes> birthdays(CreateForm<TFrmAniversariantes>());
        birthdays->show();
        const QDate last = today.addDays(59);
        birthdays->DTDataFim->setDate(last);
        PaintWatch listPaint(birthdays->DBGrid1->viewport());
        const int listScreen = birthdays->DBGrid1->rowsPerScreen();
        const QString key = QStringLiteral(
            "EXTRACT(MONTH FROM AGE_DATANASC) * 100 + EXTRACT(DAY FROM AGE_DATANASC)");
        const QString ranges =
            last.year() == today.year()
                ? QStringLiteral("%1 BETWEEN %2 AND %3")
                      .arg(key, birthdayKey(today), birthdayKey(last))
                : QStringLiteral("%1 BETWEEN %2 AND 1231 OR %1 BETWEEN 101 AND %3")
                      .arg(key, birthdayKey(today), birthdayKey(last));
        Sample list, plain;
        for (int i = 0; i < kRepeats; ++i) {
            listPaint.settle();
            list.times.push_back(millisecondsOf([&] {
                birthdays->PNGButton1->click();
                listPaint.wait();
            }));
            plain.times.push_back(millisecondsOf([&] {
                bare.fetch(QStringLiteral("SELECT DISTINCT AGE_DATANASC, AGE_NOME, AGE_TELEFONE, "
                                          "AGE_ENDERECO, AGE_CIDADE, AGE_UF, AGE_CEP FROM "
                                          "TB_AGENDA WHERE %1 ORDER BY "
                                          "EXTRACT(MONTH FROM AGE_DATANASC), "
                                          "EXTRACT(DAY FROM AGE_DATANASC)")
                               .arg(ranges),
                           listScreen);
            }));
        }
        report(contacts, QStringLiteral("Visualizar 60 days / bare indexed"), list, plain);
    }

    window.reset();
    Application::destroyAdoptedWindows();
    dm.reset();
    DM = nullptr;
    UnloadLanguage();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const QString cache = QStringLiteral(TARVO_BENCH_DATA);
    QDir().mkpath(cache);
    out() << QStringLiteral("%1  %2 %3 %4  %5 %6  %7\n")
                 .arg(QStringLiteral("contacts"), 7)
                 .arg(QStringLiteral("figure"), -34)
                 .arg(QStringLiteral("min ms"), 9)
                 .arg(QStringLiteral("median"), 9)
                 .arg(QStringLiteral("bare min"), 9)
                 .arg(QStringLiteral("median"), 9)
                 .arg(QStringLiteral("ratio"), 6);
    // Sizes given on the command line replace the three.
    std::vector<int> sizes;
    for (const QString& argument : app.arguments().mid(1))
        sizes.push_back(argument.toInt());
    if (sizes.empty())
        sizes = {1000, 10000, 100000};
    for (const int contacts : sizes) {
        const QString database = QStringLiteral("%1/CONTACTS_%2.FDB").arg(cache).arg(contacts);
        if (!QFile::exists(database)) {
            out() << "generating " << contacts << " contacts...\n";
            out().flush();
            generateContacts(database, contacts);
        }
        measure(database, contacts);
    }
    return 0;
}
