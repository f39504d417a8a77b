#include "platform/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

// The session's end reaches the event loop as a request, and the signals go back to their
// earlier handlers afterwards.
class TestTerminationSignals : public QObject
{
    Q_OBJECT

private slots:
    void signalsBecomeARequest();
};

void TestTerminationSignals::signalsBecomeARequest()
{
    std::signal(SIGTERM, SIG_IGN);
    {
        TerminationSignals sessionEnd;
        QSignalSpy requested(&sessionEnd, &TerminationSignals::terminationRequested);
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            std::raise(signal);
            QVERIFY(requested.wait(2000));
        }
    }
    // Ignored again, as before: the process goes on.
    std::raise(SIGTERM);
    QVERIFY(std::signal(SIGTERM, SIG_DFL) == SIG_IGN);
}

QTEST_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
