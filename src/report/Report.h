#pragma once

#include "report/Pipeline.h"
#include "report/ReportDefinition.h"

#include <QString>

class QPrinter;
class QWidget;

namespace report {

// A report: a template read from a file, the pipeline its fields come from, and printing
// through a print preview from which a person prints or saves a PDF.
class Report
{
public:
    explicit Report(Pipeline& pipeline) : pipeline_(pipeline) {}

    QString templateFileName() const { return templateFileName_; }
    void setTemplateFileName(const QString& fileName) { templateFileName_ = fileName; }
    // Replaces the whole definition with the template file's. Fails, keeping nothing of a
    // file it cannot use, when the file is missing or damaged or binds to a field the
    // pipeline lacks.
    void loadFromFile();
    const Definition& definition() const { return definition_; }

    // Opens the print preview, modal over the parent, and returns when it closes.
    void print(QWidget* parent);
    // Writes the whole report as a PDF file, showing its progress over the parent.
    void printToPdf(const QString& fileName, QWidget* parent);

private:
    // Lays out and paints every page on the printer, with a progress that can stop it.
    void render(QPrinter& printer, QWidget* parent);
    void preparePrinter(QPrinter& printer) const;
    void savePdfFrom(QWidget* preview);

    Pipeline& pipeline_;
    QString templateFileName_;
    Definition definition_;
    bool loaded_ = false;
};

} // namespace report
