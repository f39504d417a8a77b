#include "db/FbClient.h"

#include "db/DbError.h"

#include <QLibrary>

#include <clocale>
#include <cstring>
#include <langinfo.h>

namespace {

constexpr unsigned kShutdownMilliseconds = 5000;

constexpr const char* kLibraryName = "libfbclient.so.2";

using GetMasterInterface = Firebird::IMaster* (*)();

} // namespace

FbClient& FbClient::instance()
{
    static FbClient client;
    return client;
}

FbClient::FbClient()
{
    // Qt names files in UTF-8 whatever the locale; the client library passes a database's file
    // name through the C library's code set, so that must be UTF-8 too, or a name with an
    // accent cannot be converted (the C locale) or reaches the file system changed.
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
    QLibrary library(QString::fromLatin1(kLibraryName));
    const auto getMaster =
        reinterpret_cast<GetMasterInterface>(library.resolve("fb_get_master_interface"));
    if (!getMaster) {
        throw DbError(QStringLiteral("Cannot load the Firebird client library %1: %2")
                          .arg(QString::fromLatin1(kLibraryName), library.errorString()));
    }
    master_ = getMaster();
    util_ = master_->getUtilInterface();
    provider_ = master_->getDispatcher();
}

FbClient::~FbClient()
{
    // The library stays loaded until the process ends; only the dispatcher is ours. The
    // embedded engine's threads are stopped first: left running into the library's own exit
    // code, they can bring the process down as it ends.
    if (!provider_)
        return;
    Firebird::CheckStatusWrapper status(master_->getStatus());
    provider_->shutdown(&status, kShutdownMilliseconds, fb_shutrsn_app_stopped);
    status.dispose();
    provider_->release();
}

FbStatus::FbStatus() : BaseStatusWrapper(FbClient::instance().master()->getStatus()) {}

FbStatus::~FbStatus()
{
    status->dispose();
}

void FbStatus::checkException(FbStatus* wrapper)
{
    if (!wrapper->dirty || !(wrapper->getState() & Firebird::IStatus::STATE_ERRORS))
        return;
    char text[2048];
    const unsigned length =
        FbClient::instance().util()->formatStatus(text, sizeof text, wrapper->status);
    const ISC_STATUS* errors = wrapper->status->getErrors();
    const long code = errors[0] == isc_arg_gds ? errors[1] : 0;
    const QString message = QString::fromLocal8Bit(text, qstrnlen(text, length)).trimmed();
    wrapper->clearException();
    throw DbError(message, code);
}

FbXpb::FbXpb(unsigned kind)
{
    FbStatus status;
    builder_ = FbClient::instance().util()->getXpbBuilder(&status, kind, nullptr, 0);
}

FbXpb::~FbXpb()
{
    builder_->dispose();
}

FbXpb& FbXpb::tag(unsigned char tag)
{
    FbStatus status;
    builder_->insertTag(&status, tag);
    return *this;
}

FbXpb& FbXpb::integer(unsigned char tag, int value)
{
    FbStatus status;
    builder_->insertInt(&status, tag, value);
    return *this;
}

FbXpb& FbXpb::string(unsigned char tag, const char* value)
{
    FbStatus status;
    builder_->insertString(&status, tag, value);
    return *this;
}

const unsigned char* FbXpb::buffer() const
{
    FbStatus status;
    return builder_->getBuffer(&status);
}

unsigned FbXpb::length() const
{
    FbStatus status;
    return builder_->getBufferLength(&status);
}
