#include "U_Impressao.h"

#include "U_DM.h"
#include "U_Mensagens.h"
#include "platform/AppFolder.h"
#include "report/Report.h"

QString ModeloRelacao(Relacao relacao, int languageIndex)
{
    static const char* const suffixes[] = {"-es", "-en", "-pt"};
    const char* suffix = languageIndex >= 0 && languageIndex <= 2 ? suffixes[languageIndex] : "-pt";
    const QString base = relacao == Relacao::Agenda ? QStringLiteral("RP_Agenda")
                                                    : QStringLiteral("RP_Aniversariantes");
    return QStringLiteral("Relatorios/") + base + QString::fromLatin1(suffix) +
           QStringLiteral(".rtm");
}

void ImprimirRelatorio(report::Report& report, const QString& modelo, QWidget* parent)
{
    UsarIdiomaDoToolkit(DM->languageIndex());
    report.setTemplateFileName(resolvePathIgnoringCase(applicationFolder(), modelo));
    report.loadFromFile();
    report.print(parent);
}
