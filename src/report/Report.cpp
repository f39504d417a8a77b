#include "report/Report.h"

#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"
#include "report/Renderer.h"
#include "report/TemplateReader.h"
#include "widgets/Application.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>

namespace report {
namespace {

// A progress over the parent while pages are laid out; Cancel stops after the page at hand.
class PageProgress
{
public:
    PageProgress(int pages, QWidget* parent)
        : dialog_(ResourceStrings::load(ResourceStrings::ReportLayingOut), QString(), 0, pages,
                  parent)
    {
        dialog_.setWindowTitle(QCoreApplication::applicationName());
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setMinimumDuration(300);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
    }

    bool advance(int page)
    {
        dialog_.setValue(page);
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
};

} // namespace

void Report::loadFromFile()
{
    Definition loaded = readTemplate(templateFileName_);
    const QString fullPath = QFileInfo(templateFileName_).absoluteFilePath();
    // A field the data lacks would print as a blank on every row: it is refused now.
    for (const Band& band : std::as_const(loaded.bands)) {
        for (const Element& element : band.elements) {
            if (element.kind != Element::Kind::Field)
                continue;
            if (element.pipeline != pipeline_.name())
                throw Error(ResourceStrings::format(ResourceStrings::ReportPipelineNotFound,
                                                    {fullPath, element.pipeline}));
            if (!pipeline_.hasField(element.field))
                throw Error(ResourceStrings::format(ResourceStrings::ReportFieldNotFound,
                                                    {fullPath, element.pipeline, element.field}));
        }
    }
    definition_ = std::move(loaded);
    loaded_ = true;
}

void Report::preparePrinter(QPrinter& printer) const
{
    printer.setDocName(QStringLiteral("Report"));
    printer.setCreator(QCoreApplication::applicationName());
    printer.setFullPage(false);
    printer.setPageLayout(QPageLayout(definition_.pageSize, definition_.orientation,
                                      definition_.margins, QPageLayout::Millimeter));
}

void Report::render(QPrinter& printer, QWidget* parent)
{
    preparePrinter(printer);
    Renderer renderer(definition_, pipeline_, Clock::now());
    PageProgress progress(renderer.pageCount(), parent);
    const QString target =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    if (!renderer.paint(printer, target, [&](int page, int) { return progress.advance(page); }) &&
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // A document cut short is no document.
        QFile::remove(printer.outputFileName());
    }
}

void Report::print(QWidget* parent)
{
    if (!loaded_)
        loadFromFile();
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowModality(Qt::ApplicationModal);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this, &preview](QPrinter* target) { render(*target, &preview); });
    if (auto* tools = preview.findChild<QToolBar*>()) {
        tools->addSeparator();
        QAction* savePdf = tools->addAction(
            QIcon::fromTheme(QStringLiteral("document-save-as"),
                             preview.style()->standardIcon(QStyle::SP_DialogSaveButton)),
            ResourceStrings::load(ResourceStrings::ReportSaveAsPdf));
        savePdf->setObjectName(QStringLiteral("savePdf"));
        savePdf->setToolTip(savePdf->text());
        QObject::connect(savePdf, &QAction::triggered, &preview,
                         [this, &preview] { savePdfFrom(&preview); });
    }
    const TrayAnswersDuring tray(&preview);
    preview.exec();
}

void Report::savePdfFrom(QWidget* preview)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(
        (definition_.name.isEmpty() ? QStringLiteral("Report") : definition_.name) +
        QStringLiteral(".pdf"));
    QString fileName = QFileDialog::getSaveFileName(
        preview, ResourceStrings::load(ResourceStrings::ReportSaveAsPdf), suggested,
        ResourceStrings::load(ResourceStrings::ReportPdfFiles));
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".pdf");
    printToPdf(fileName, preview);
}

void Report::printToPdf(const QString& fileName, QWidget* parent)
{
    if (!loaded_)
        loadFromFile();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    render(printer, parent);
}

} // namespace report
