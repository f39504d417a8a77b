#pragma once

#include <QtGlobal>

// The parts of the PE file layout that both the reader of language files and their writer
// rely on.
namespace PeFormat {

constexpr qint64 kPeOffsetField = 0x3c; // where the DOS header keeps the PE header's offset
constexpr qint64 kFileHeaderSize = 20;
constexpr qint64 kSectionHeaderSize = 40;
constexpr quint16 kPe32Magic = 0x10b;
constexpr quint16 kPe32PlusMagic = 0x20b;
constexpr quint32 kResourceDirectoryIndex = 2; // in the optional header's data directories
constexpr quint32 kRtRcData = 10;
// In a resource directory entry: a name that is a string, or a subdirectory rather than data.
constexpr quint32 kHighBit = 0x80000000;
constexpr qint64 kDirectoryHeaderSize = 16;
constexpr qint64 kDirectoryEntrySize = 8;
constexpr qint64 kDataEntrySize = 16;

} // namespace PeFormat
