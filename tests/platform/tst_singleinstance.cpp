#include "platform/SingleInstance.h"

#include <QSignalSpy>
#include <QTest>
#include <QUuid>

// A second start finds the first and asks it to come forward.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondStartReachesTheFirst();
};

void TestSingleInstance::secondStartReachesTheFirst()
{
    const QString name = QStringLiteral("tarvo-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    QVERIFY(!first.askRunningToComeForward()); // nobody runs yet
    first.listen();
    QSignalSpy comeForward(&first, &SingleInstance::comeForwardRequested);

    SingleInstance second(name);
    QVERIFY(second.askRunningToComeForward());
    QVERIFY(comeForward.wait(2000));
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
