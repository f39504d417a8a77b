#include "contacts/ContactFile.h"

#include "contacts/Csv.h"
#include "contacts/VCard.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool hasSuffix(const QString& path, const char* suffix)
{
    return QFileInfo(path).suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0;
}

} // namespace

bool isContactFile(const QString& path)
{
    return hasSuffix(path, "vcf") || hasSuffix(path, "csv");
}

std::vector<ImportedContact> readContactFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    if (!isContactFile(path))
        throw Error(ResourceStrings::format(ResourceStrings::ContactFileUnknownKind, name));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(ResourceStrings::format(ResourceStrings::ContactFileUnreadable,
                                            {name, file.errorString()}));
    const QByteArray bytes = file.readAll();
    std::vector<ImportedContact> contacts;
    try {
        // A NUL byte is in no text file a person means to import.
        if (bytes.contains('\0'))
            throw Error(ResourceStrings::load(ResourceStrings::ContactFileNotText));
        contacts = hasSuffix(path, "vcf") ? readVCards(bytes) : readCsv(bytes);
    } catch (const Error& error) {
        throw Error(
            ResourceStrings::format(ResourceStrings::ContactFileDamaged, {name, error.message()}));
    }
    for (ImportedContact& contact : contacts)
        contact.origin = name + u' ' + contact.origin;
    return contacts;
}
