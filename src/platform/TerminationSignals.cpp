#include "platform/TerminationSignals.h"

#include "platform/Error.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Where the handler writes; a signal handler may do little more than that.
volatile sig_atomic_t g_writeEnd = -1;

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    if (g_writeEnd >= 0) [[maybe_unused]]
        const ssize_t written = write(g_writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (pipe2(pipe_.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        throw Error(QString::fromLocal8Bit(std::strerror(errno)));
    g_writeEnd = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (read(pipe_[0], bytes, sizeof bytes) > 0) {
        }
        emit terminationRequested();
    });

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &previous_[i]);
}

TerminationSignals::~TerminationSignals()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &previous_[i], nullptr);
    g_writeEnd = -1;
    delete notifier_;
    close(pipe_[0]);
    close(pipe_[1]);
}
