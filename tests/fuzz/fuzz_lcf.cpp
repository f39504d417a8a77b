// libFuzzer target for the language-file reader: the PE resource lookup and every record
// kind. Each input is written to a file and opened as the program opens its language file.

#include "LcUnit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstddef>
#include <cstdint>

namespace {

int32_t collect(uint32_t lcid, void* data)
{
    static_cast<QList<uint32_t>*>(data)->append(lcid);
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("input.lcf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    QList<uint32_t> lcids;
    if (TLcf().Open(path, 0, collect, &lcids) < 0)
        return 0;
    for (uint32_t lcid : lcids.first(qMin<qsizetype>(lcids.size(), 3))) {
        TLcf lcf;
        if (lcf.Open(path, lcid) != 1)
            continue;
        for (uint32_t id = 998; id < 1020; ++id)
            (void)lcf.FindString(id);
        // QTimer's records and its ancestor QObject's, as a window's class chain is read.
        TProps props(lcf, nullptr);
        props.LoadClass(&QTimer::staticMetaObject);
    }
    return 0;
}
