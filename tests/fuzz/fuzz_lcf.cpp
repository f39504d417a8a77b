// libFuzzer target for the language-file reader: the PE resource lookup, every record kind,
// and the property paths of a class record applied to a window. Each input is written to a
// file and loaded as the program loads its language file.

#include "LcUnit.h"
#include "platform/Error.h"
#include "widgets/Controls.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstddef>
#include <cstdint>

// A window with what the program's windows publish: its caption, texts, a string list and
// collections.
class TFrmFuzz : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ windowTitle WRITE setWindowTitle)

public:
    TFrmFuzz()
    {
        setObjectName(QStringLiteral("FrmFuzz"));
        new Label(QStringLiteral("Label1"), QStringLiteral("Nome:"), this);
        new RadioGroup(QStringLiteral("RG"), QStringLiteral("Localizar por: "),
                       {QStringLiteral("Nome"), QStringLiteral("Cidade"), QStringLiteral("Fone")},
                       this);
        auto* grid = new DBGrid(QStringLiteral("Grid"), this);
        grid->addColumn(QStringLiteral("AGE_NOME"), QStringLiteral("Nome"), 100);
        auto* bar = new StatusBar(QStringLiteral("Bar"), this);
        bar->setPanels({QStringLiteral("F2 - Novo"), QStringLiteral("F3 - Salvar")});
    }
};

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_lcf";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

int32_t collect(uint32_t lcid, void* data)
{
    static_cast<QList<uint32_t>*>(data)->append(lcid);
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    application();
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
    // The first language put in force and applied to a window, its paths walked.
    if (!lcids.isEmpty() && LoadLanguage(path, lcids.first()) == 1) {
        TFrmFuzz window;
        try {
            TranslateComponent(&window);
        } catch (const Error&) {
            // A path with an index that is not a number is refused; that is not a finding.
        }
        UnloadLanguage();
    }
    return 0;
}

#include "fuzz_lcf.moc"
