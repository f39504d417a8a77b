#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

// Turns the signals that end a desktop session's programs (SIGTERM at logout, SIGINT, SIGHUP)
// into a request on the event loop, so the program ends the way "Fechar" ends it: saved
// changes committed and the database closed. The database library's own handlers would
// otherwise take these signals and leave the program hanging. One object at a time.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    // Gives the signals back to the handlers they had before.
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void terminationRequested();

private:
    static constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};
    std::array<int, 2> pipe_{-1, -1};
    std::array<struct sigaction, 3> previous_{};
    QSocketNotifier* notifier_ = nullptr;
};
