#pragma once

#include "PeWriter.h"
#include "PoCatalog.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// How a language file is laid out beyond what its sources say.
struct LcfOptions
{
    PeMachine machine = PeMachine::I386;
    // Sets flag bit 0 of the header and gives every string record a leading slot with the
    // original text, before the languages' slots.
    bool originalSlot = false;
};

// The records of a language file, by resource name: the header, one string record per
// resource string and one class record per class, for the catalogs' languages in the order
// given. A message context is either a resource-string identifier ("1005") or a class entry
// "Class/Component/Property.Path" ("TFrmAgenda/BNovo/Caption"). The header is in format 2
// when a catalog names a code page. Throws CompileError.
QMap<QString, QByteArray> buildRecords(const QList<PoCatalog>& catalogs, bool originalSlot);

// The language file itself, a resource-only library holding those records.
QByteArray compileLanguageFile(const QList<PoCatalog>& catalogs, const LcfOptions& options);
