#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// The program's resource strings: every text of the toolkit layer that a language file can
// translate, each with a fixed identifier below 65536. Every request goes through load(),
// which asks the loaded language first (when one has installed a redirection) and falls
// back to the built-in English text.
namespace ResourceStrings {

enum Id : int
{
    FieldRequired = 1000,        // "Field '%s' must have a value"
    DataSetEmpty = 1001,         // "Cannot perform this operation on an empty dataset"
    UpdateFailed = 1002,         // "Update Failed"
    RegCreateFailed = 1003,      // "Failed to create key %s"
    RegSetDataFailed = 1004,     // "Failed to set data for '%s'"
    MsgDlgOK = 1005,             // "OK", the button of the information box
    Unknown = 1006,              // "<unknown>", a language without a display name
    InvalidInteger = 1007,       // "'%s' is not a valid integer value"
    ListIndexError = 1008,       // "List index out of bounds (%d)"
    NotEditing = 1009,           // "Dataset not in edit or insert mode"
    InvalidDate = 1010,          // "'%s' is not a valid date"
    FieldNotFound = 1011,        // "Field '%s' not found"
    DataSetReadOnly = 1012,      // "Cannot modify a read-only dataset"
    RowChanged = 1013,           // another station changed or deleted the row since it was read
    CharacterNotStorable = 1014, // "Field '%s' cannot hold the character %s"
    InvalidTime = 1015,          // "Field '%s': '%s' is not a valid time"
    InvalidFieldDate = 1016,     // "Field '%s': '%s' is not a valid date"
    // The report engine's.
    ReportFileNotFound = 1017,
    ReportTemplateError = 1018,
    ReportUnknownWord = 1019,
    ReportBadValue = 1020,
    ReportMissing = 1021,
    ReportOutsideBand = 1022,
    ReportUnclosedQuote = 1023,
    ReportNotUtf8 = 1024,
    ReportPipelineNotFound = 1025,
    ReportFieldNotFound = 1026,
    ReportDetailDoesNotFit = 1027,
    ReportCannotPrint = 1028,
    ReportLayingOut = 1029,
    ReportSaveAsPdf = 1030,
    ReportPdfFiles = 1031,
    // Contacts brought in from files and taken out to them.
    // The copies of the database.
    BackupFailed = 1100,
    RestoreQuestion = 1101,
    ContactFileUnreadable = 1150,
    ContactFileDamaged = 1151,
    ContactFileUnknownKind = 1152,
    ContactFileNotText = 1153,
    VCardNotClosed = 1154,
    VCardNone = 1155,
    CsvUnknownHeader = 1156,
    CsvQuoteNotClosed = 1157,
    ImportNoName = 1158,
    ImportValueTooLong = 1159,
    ImportValueNotStorable = 1160,
    ImportFileFilter = 1161,
    ImportActionAdd = 1162,
    ImportActionSkip = 1163,
    ImportActionAddAnyway = 1164,
    ImportActionFill = 1165,
    ImportStatusNew = 1166,
    ImportStatusLooksLike = 1167,
    ImportStatusRefused = 1168,
    ExportNothing = 1169,
    ExportWriteFailed = 1170,
    ExportVCardFilter = 1171,
    ExportCsvFilter = 1172,
};

// The built-in text of an identifier; empty for one the program does not have.
QString builtIn(int id);

// Every identifier that has a built-in text, in ascending order.
QList<int> identifiers();

// Answers a request with 8-bit text in the Windows-1252 code page, or nothing to let the
// built-in text answer.
using Redirection = std::function<std::optional<QByteArray>(int id)>;
void setRedirection(Redirection redirection);
void clearRedirection();

// The text of a resource string, translated while a language is loaded. An identifier of
// 65536 or more is not a number but the address of the string's own NUL-terminated
// Windows-1252 text, which answers in every case.
QString load(quintptr id);

// load() with its "%s" or "%d" placeholders filled in order, as the toolkit formats its
// messages.
QString format(int id, const QStringList& arguments);
QString format(int id, const QString& argument);

} // namespace ResourceStrings
