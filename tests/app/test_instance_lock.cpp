#include "app/instance_lock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestInstanceLock : public QObject
{
    Q_OBJECT

private slots:
    void theFileExistsExactlyWhileTheLockIsHeld()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("clocksaver.in1"));
        {
            InstanceLock lock;
            QCOMPARE(lock.acquire(path), InstanceLock::Outcome::Acquired);
            QVERIFY(QFile::exists(path));
            QVERIFY(lock.release());
            QVERIFY(!QFile::exists(path));
        }
        {
            InstanceLock lock;
            QCOMPARE(lock.acquire(path), InstanceLock::Outcome::Acquired);
        }
        QVERIFY2(!QFile::exists(path), "destroying a held lock releases it");
    }

    void aHeldLockTurnsAwayOthersAndLeavesTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("clocksaver.in1"));
        InstanceLock first;
        QCOMPARE(first.acquire(path), InstanceLock::Outcome::Acquired);
        {
            InstanceLock second;
            QCOMPARE(second.acquire(path), InstanceLock::Outcome::HeldElsewhere);
        }
        QVERIFY2(QFile::exists(path), "a turned-away copy must not delete the holder's file");
        QVERIFY(first.release());

        InstanceLock third;
        QCOMPARE(third.acquire(path), InstanceLock::Outcome::Acquired);
    }

    void aFileLeftByADeadCopyIsTakenOver()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("clocksaver.in1"));
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();

        InstanceLock lock;
        QCOMPARE(lock.acquire(path), InstanceLock::Outcome::Acquired);
        QVERIFY(lock.release());
        QVERIFY(!QFile::exists(path));
    }

    void aMissingFolderIsAFailureWithAReason()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/clocksaver.in1"));
        InstanceLock lock;
        QCOMPARE(lock.acquire(path), InstanceLock::Outcome::Failed);
        QVERIFY(lock.errorString().contains(path));
    }
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "test_instance_lock.moc"
