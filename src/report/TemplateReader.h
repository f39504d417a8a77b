#pragma once

#include "report/ReportDefinition.h"

namespace report {

// Reads a report template (see docs/report-templates.md). A file that does not exist fails
// with "Arquivo não encontrado:" and its full path; a line that cannot be understood fails
// with the file's path, the line's number and what is wrong with it.
Definition readTemplate(const QString& fileName);

// readTemplate() of text already read; fileName only names it in errors.
Definition parseTemplate(const QByteArray& text, const QString& fileName);

} // namespace report
