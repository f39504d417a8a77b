#pragma once

#include "LcfCompiler.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// Language files for the tests, built with the project's own compiler and PE writer, and the
// means to damage them on purpose.
namespace LcfFixture {

// A translation source: the header naming language (and a code page when given), then
// messages, which is PO text.
QByteArray po(const char* language, const char* messages, std::optional<int> codePage = {});

// The language file compiled from the sources, in that order.
QByteArray compiled(const QList<QByteArray>& sources, const LcfOptions& options = {});

// A library holding exactly these records, whatever they contain.
QByteArray library(const QMap<QString, QByteArray>& records, PeMachine machine = PeMachine::I386);

// A header record written by hand: magic, flags, count, identifiers, code pages if given.
QByteArray header(const QList<quint32>& lcids, quint32 flags = 0,
                  const QByteArray& magic = "LCHEADER", const QList<qint32>& codePages = {});

// Slots written by hand, (offset, size) each, followed by data.
QByteArray slotTable(const QList<std::pair<qint32, qint32>>& entries, const QByteArray& data = {});

QByteArray utf16(const QString& text);

void putU32(QByteArray& bytes, qint64 at, quint32 value);
// A copy of bytes with the 32-bit field at at set to value.
QByteArray patched(QByteArray bytes, qint64 at, quint32 value);
quint32 getU32(const QByteArray& bytes, qint64 at);

// File offsets of the parts of an image that the damaged files patch. The resource
// directory nodes are those on the path to the library's first record.
struct Layout
{
    qint64 optionalHeader = 0;
    qint64 resourceDirectory = 0; // the resource entry of the data directories
    qint64 sectionTable = 0;
    qint64 rsrc = 0; // the resource section
    qint64 nameDirectory = 0;
    qint64 languageDirectory = 0;
    qint64 dataEntry = 0;
};
Layout layoutOf(const QByteArray& image);

// Writes images to files of a temporary folder that lives as long as it.
class Files
{
public:
    QString write(const QByteArray& image);

private:
    QTemporaryDir dir_;
    int count_ = 0;
};

} // namespace LcfFixture
