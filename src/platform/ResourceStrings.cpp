#include "platform/ResourceStrings.h"

#include "platform/CodePage.h"

#include <QMap>
#include <QRegularExpression>

namespace ResourceStrings {
namespace {

const QMap<int, QString>& table()
{
    static const QMap<int, QString> texts = {
        {FieldRequired, QStringLiteral("Field '%s' must have a value")},
        {DataSetEmpty, QStringLiteral("Cannot perform this operation on an empty dataset")},
        {UpdateFailed, QStringLiteral("Update Failed")},
        {RegCreateFailed, QStringLiteral("Failed to create key %s")},
        {RegSetDataFailed, QStringLiteral("Failed to set data for '%s'")},
        {MsgDlgOK, QStringLiteral("OK")},
        {Unknown, QStringLiteral("<unknown>")},
        {InvalidInteger, QStringLiteral("'%s' is not a valid integer value")},
        {ListIndexError, QStringLiteral("List index out of bounds (%d)")},
        {NotEditing, QStringLiteral("Dataset not in edit or insert mode")},
        {InvalidDate, QStringLiteral("'%s' is not a valid date")},
        {FieldNotFound, QStringLiteral("Field '%s' not found")},
        {DataSetReadOnly, QStringLiteral("Cannot modify a read-only dataset")},
        {RowChanged, QStringLiteral("Update Failed: the record was changed or deleted at another "
                                    "station since it was read. Reopen the list to see it.")},
        {CharacterNotStorable, QStringLiteral("Field '%s' cannot hold the character %s")},
        {InvalidTime, QStringLiteral("Field '%s': '%s' is not a valid time")},
        {InvalidFieldDate, QStringLiteral("Field '%s': '%s' is not a valid date")},
        {ReportFileNotFound, QStringLiteral("Arquivo não encontrado:")},
        {ReportTemplateError, QStringLiteral("Report template %s, line %s: %s")},
        {ReportUnknownWord, QStringLiteral("'%s' is not understood here")},
        {ReportBadValue, QStringLiteral("'%s' is not a valid value for %s")},
        {ReportMissing, QStringLiteral("%s is missing")},
        {ReportOutsideBand, QStringLiteral("an element comes before any band")},
        {ReportUnclosedQuote, QStringLiteral("a quoted text is not closed")},
        {ReportNotUtf8, QStringLiteral("the text is not UTF-8")},
        {ReportPipelineNotFound,
         QStringLiteral("Report template %s: there is no data pipeline %s")},
        {ReportFieldNotFound,
         QStringLiteral("Report template %s: the data pipeline %s has no field %s")},
        {ReportDetailDoesNotFit,
         QStringLiteral("Report %s: the detail band does not fit on a page")},
        {ReportCannotPrint, QStringLiteral("Cannot print to %s")},
        {ReportLayingOut, QStringLiteral("Laying out the pages…")},
        {ReportSaveAsPdf, QStringLiteral("Save as PDF…")},
        {ReportPdfFiles, QStringLiteral("PDF documents (*.pdf)")},
        {BackupFailed, QStringLiteral("The backup copy of the agenda failed and was removed:\n%s")},
        {RestoreQuestion, QStringLiteral("Replace the agenda with the copy of %s? The agenda as "
                                         "it is now is kept as one more copy first.")},
        {ContactFileUnreadable, QStringLiteral("Cannot read the file %s: %s")},
        {ContactFileDamaged, QStringLiteral("The file %s cannot be imported: %s")},
        {ContactFileUnknownKind,
         QStringLiteral("The file %s is neither a vCard (.vcf) nor a CSV (.csv) file")},
        {ContactFileNotText, QStringLiteral("it is not a text file")},
        {VCardNotClosed, QStringLiteral("the card begun on line %s has no END:VCARD")},
        {VCardNone, QStringLiteral("it holds no vCard")},
        {CsvUnknownHeader, QStringLiteral("its first line names none of the known columns")},
        {CsvQuoteNotClosed, QStringLiteral("the quoted value begun on line %s is not closed")},
        {ImportNoName, QStringLiteral("it has no name")},
        {ImportValueTooLong, QStringLiteral("%s: %s characters, the column holds %s")},
        {ImportValueNotStorable, QStringLiteral("%s: the character %s cannot be stored")},
        {ImportFileFilter, QStringLiteral("Contacts (*.vcf *.csv)")},
        {ImportActionAdd, QStringLiteral("Add")},
        {ImportActionSkip, QStringLiteral("Skip")},
        {ImportActionAddAnyway, QStringLiteral("Add anyway")},
        {ImportActionFill, QStringLiteral("Fill its empty fields")},
        {ImportStatusNew, QStringLiteral("New")},
        {ImportStatusLooksLike, QStringLiteral("Looks like %s")},
        {ImportStatusRefused, QStringLiteral("Refused: %s")},
        {ExportNothing, QStringLiteral("There are no contacts in the list to export.")},
        {ExportWriteFailed, QStringLiteral("Cannot write the file %s: %s")},
        {ExportVCardFilter, QStringLiteral("vCard files (*.vcf)")},
        {ExportCsvFilter, QStringLiteral("CSV files (*.csv)")},
    };
    return texts;
}

Redirection& redirection()
{
    static Redirection current;
    return current;
}

} // namespace

QString builtIn(int id)
{
    return table().value(id);
}

QList<int> identifiers()
{
    return table().keys();
}

void setRedirection(Redirection lookup)
{
    redirection() = std::move(lookup);
}

void clearRedirection()
{
    redirection() = nullptr;
}

QString load(quintptr id)
{
    if (id >= 65536)
        return CodePage::fromWin1252(reinterpret_cast<const char*>(id));
    if (const Redirection& lookup = redirection()) {
        if (const std::optional<QByteArray> text = lookup(int(id)))
            return CodePage::fromWin1252(*text);
    }
    return builtIn(id);
}

QString format(int id, const QStringList& arguments)
{
    QString text = load(id);
    static const QRegularExpression placeholder(QStringLiteral("%[sd]"));
    qsizetype from = 0;
    for (const QString& argument : arguments) {
        const QRegularExpressionMatch match = placeholder.match(text, from);
        if (!match.hasMatch())
            break;
        text.replace(match.capturedStart(), match.capturedLength(), argument);
        // An argument that holds a placeholder of its own is not filled again.
        from = match.capturedStart() + argument.size();
    }
    return text;
}

QString format(int id, const QString& argument)
{
    return format(id, QStringList{argument});
}

} // namespace ResourceStrings
