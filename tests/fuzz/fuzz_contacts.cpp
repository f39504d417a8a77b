// libFuzzer target for the readers of contact files: each input is read as a vCard and as a
// CSV, and whatever they accept is written back out and read again.

#include "contacts/ContactCheck.h"
#include "contacts/Csv.h"
#include "contacts/VCard.h"
#include "platform/Error.h"

#include <cstddef>
#include <cstdint>

namespace {

std::vector<Contact> contactsOf(const std::vector<ImportedContact>& imported)
{
    std::vector<Contact> contacts;
    for (const ImportedContact& contact : imported) {
        (void)fitProblems(contact.contact);
        contacts.push_back(cutToFit(contact.contact));
    }
    return contacts;
}

template <typename Read> void readAndWriteBack(const QByteArray& bytes, Read read)
{
    try {
        const std::vector<Contact> contacts = contactsOf(read(bytes));
        (void)readVCards(writeVCards(contacts));
        (void)readCsv(writeCsv(contacts));
    } catch (const Error&) {
        // A damaged file is refused with its reason; that is not a finding.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    readAndWriteBack(bytes, readVCards);
    readAndWriteBack(bytes, readCsv);
    return 0;
}
