// The contact list printed from the program's data module with the shipped template: the
// pages laid out for the print preview, and the whole list written as PDF, with the time per
// page and the memory the program holds before and after. The databases are bench_window's
// (built by it on its first run).

#include "BenchFolder.h"
#include "U_DM.h"
#include "platform/Clock.h"
#include "report/DBPipeline.h"
#include "report/Renderer.h"
#include "report/TemplateReader.h"
#include "widgets/Application.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

qint64 residentKilobytes(const char* which = "VmRSS:")
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(which))
            return line.mid(qstrlen(which)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

double megabytes(qint64 kilobytes)
{
    return kilobytes / 1024.0;
}

void line(int contacts, const QString& figure, const QString& value)
{
    out() << QStringLiteral("%1  %2 %3\n").arg(contacts, 7).arg(figure, -40).arg(value);
    out().flush();
}

void measure(const QString& database, int contacts)
{
    const BenchFolder folder(database);
    if (!folder.isReady())
        return;
    auto dm = std::make_unique<TDM>();
    DM = dm.get();
    DM->DataModuleCreate();
    DM->Q_Agenda.open();

    const report::Definition list =
        report::readTemplate(QStringLiteral(TARVO_APP_DIR "/Relatorios/RP_Agenda-pt.rtm"));
    report::DBPipeline pipeline(QStringLiteral("DBPipeline1"), &DM->Q_Agenda);
    const qint64 before = residentKilobytes();
    QElapsedTimer clock;

    // The whole list as PDF.
    QTemporaryDir output;
    const QString pdf = output.filePath(QStringLiteral("list.pdf"));
    clock.start();
    report::Renderer renderer(list, pipeline, Clock::now());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageLayout(
        QPageLayout(list.pageSize, list.orientation, list.margins, QPageLayout::Millimeter));
    qint64 peakWhilePrinting = 0;
    renderer.paint(printer, pdf, [&](int, int) {
        peakWhilePrinting = std::max(peakWhilePrinting, residentKilobytes());
        return true;
    });
    const double written = clock.nsecsElapsed() / 1e6;
    line(contacts, QStringLiteral("PDF: pages"), QString::number(renderer.pageCount()));
    line(contacts, QStringLiteral("PDF: whole list, ms"), QString::number(written, 'f', 1));
    line(contacts, QStringLiteral("PDF: per page, ms"),
         QString::number(written / renderer.pageCount(), 'f', 2));
    line(contacts, QStringLiteral("PDF: file size, kB"),
         QString::number(QFileInfo(pdf).size() / 1024));
    // The preview: the pages counted and drawn until the first is on screen.
    {
        clock.start();
        report::Renderer renderer(list, pipeline, Clock::now());
        const double laidOut = clock.nsecsElapsed() / 1e6;
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewWidget preview(&printer);
        QObject::connect(
            &preview, &QPrintPreviewWidget::paintRequested, &preview,
            [&](QPrinter* target) { renderer.paint(*target, QStringLiteral("preview")); });
        preview.updatePreview();
        const double firstPage = clock.nsecsElapsed() / 1e6;
        line(contacts, QStringLiteral("preview: pages counted, ms"),
             QString::number(laidOut, 'f', 1));
        line(contacts, QStringLiteral("preview: first page on screen, ms"),
             QString::number(firstPage, 'f', 1));
        line(contacts, QStringLiteral("preview: pages"), QString::number(preview.pageCount()));
    }
    const qint64 afterPreview = residentKilobytes();
    line(contacts, QStringLiteral("memory before printing (rows held), MB"),
         QString::number(megabytes(before), 'f', 1));
    line(contacts, QStringLiteral("memory at most while writing PDF, MB"),
         QString::number(megabytes(peakWhilePrinting), 'f', 1));
    line(contacts, QStringLiteral("memory after the preview closed, MB"),
         QString::number(megabytes(afterPreview), 'f', 1));

    dm.reset();
    DM = nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    for (const int contacts : {1000, 10000, 100000}) {
        const QString database = QStringLiteral(TARVO_BENCH_DATA "/CONTACTS_%1.FDB").arg(contacts);
        if (!QFile::exists(database)) {
            out() << "no database of " << contacts << " contacts: run bench_window first\n";
            continue;
        }
        measure(database, contacts);
    }
    return 0;
}
