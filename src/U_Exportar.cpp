#include "U_Exportar.h"

#include "U_DM.h"
#include "U_Mensagens.h"
#include "contacts/ContactStore.h"
#include "contacts/Csv.h"
#include "contacts/VCard.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"
#include "widgets/Application.h"

#include <QDir>
#include <QFileDialog>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString chosenFileName(FormatoExportacao formato)
{
    const bool vcard = formato == FormatoExportacao::VCard;
    const QString suffix = vcard ? QStringLiteral(".vcf") : QStringLiteral(".csv");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString fileName = QFileDialog::getSaveFileName(
        Application::dialogParent(), QString(),
        QDir(folder).filePath(QStringLiteral("Contatos") + suffix),
        ResourceStrings::load(vcard ? ResourceStrings::ExportVCardFilter
                                    : ResourceStrings::ExportCsvFilter));
    if (!fileName.isEmpty() && !fileName.endsWith(suffix, Qt::CaseInsensitive))
        fileName += suffix;
    return fileName;
}

} // namespace

void ExportarContatos(FormatoExportacao formato)
{
    DataSet& contacts = DM->Q_Agenda;
    if (!contacts.isActive() || contacts.isEmpty()) {
        MostrarInformacao(ResourceStrings::load(ResourceStrings::ExportNothing));
        return;
    }
    const QString fileName = chosenFileName(formato);
    if (fileName.isEmpty())
        return;
    const std::vector<Contact> list = contactsOf(contacts);
    QSaveFile file(fileName);
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        file.write(formato == FormatoExportacao::VCard ? writeVCards(list) : writeCsv(list)) >= 0 &&
        file.commit();
    if (!written)
        throw Error(
            ResourceStrings::format(ResourceStrings::ExportWriteFailed,
                                    {QDir::toNativeSeparators(fileName), file.errorString()}));
}
