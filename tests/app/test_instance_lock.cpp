// The lock between processes: which copies run side by side, who deletes the file, and files at
// the lock's path that are not ours to use.
#include "app/instance_lock.h"
#include "support/lock_holder.h"
#include "support/unprivileged_user.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using Kind = InstanceLock::Kind;
using Outcome = InstanceLock::Outcome;

class TestInstanceLock : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        path_ = dir_->filePath(QStringLiteral("clocksaver.in1"));
    }

    void theFileExistsExactlyWhileTheLockIsHeld()
    {
        {
            InstanceLock lock;
            QCOMPARE(lock.acquire(path_, Kind::FullScreen), Outcome::Acquired);
            QVERIFY(QFile::exists(path_));
            QVERIFY(lock.release());
            QVERIFY(!QFile::exists(path_));
        }
        {
            InstanceLock lock;
            QCOMPARE(lock.acquire(path_, Kind::Dialog), Outcome::Acquired);
        }
        QVERIFY2(!QFile::exists(path_), "destroying a held lock releases it");
    }

    void theFileIsTheOwnersAlone_data()
    {
        QTest::addColumn<int>("umask");
        QTest::addColumn<int>("leftoverMode");
        QTest::newRow("new, umask 022") << 022 << 0;
        QTest::newRow("new, umask 0") << 0 << 0;
        QTest::newRow("new, umask 0277") << 0277 << 0;
        QTest::newRow("leftover 0644") << 022 << 0644;
        QTest::newRow("leftover 0666") << 0 << 0666;
    }

    // Read access is enough for a shared flock: anyone who may read the file can hold it and
    // keep every full-screen copy from starting.
    void theFileIsTheOwnersAlone()
    {
        QFETCH(int, umask);
        QFETCH(int, leftoverMode);
        const QByteArray native = QFile::encodeName(path_);
        if (leftoverMode != 0)
            QVERIFY(QFile(path_).open(QIODevice::WriteOnly) && ::chmod(native.constData(), leftoverMode) == 0);
        const mode_t previousUmask = ::umask(mode_t(umask));
        InstanceLock lock;
        const Outcome outcome = lock.acquire(path_, Kind::Shared);
        ::umask(previousUmask);
        QCOMPARE(outcome, Outcome::Acquired);
        struct stat status = {};
        QCOMPARE(::stat(native.constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, mode_t(0600));
    }

    void whatRunsBesideWhat_data()
    {
        QTest::addColumn<QList<Kind>>("running");
        QTest::addColumn<Kind>("starting");
        QTest::addColumn<Outcome>("outcome");
        const QList<Kind> fullScreen{Kind::FullScreen};
        const QList<Kind> twoShared{Kind::Shared, Kind::Shared};
        const QList<Kind> dialog{Kind::Dialog};
        const QList<Kind> dialogAndShared{Kind::Dialog, Kind::Shared};
        QTest::newRow("full screen, full screen") << fullScreen << Kind::FullScreen << Outcome::HeldElsewhere;
        QTest::newRow("full screen, shared") << fullScreen << Kind::Shared << Outcome::HeldElsewhere;
        QTest::newRow("full screen, dialog") << fullScreen << Kind::Dialog << Outcome::HeldElsewhere;
        QTest::newRow("shared, full screen") << twoShared << Kind::FullScreen << Outcome::HeldElsewhere;
        QTest::newRow("shared, shared") << twoShared << Kind::Shared << Outcome::Acquired;
        QTest::newRow("shared, dialog") << twoShared << Kind::Dialog << Outcome::Acquired;
        QTest::newRow("dialog, full screen") << dialog << Kind::FullScreen << Outcome::HeldElsewhere;
        QTest::newRow("dialog, shared") << dialog << Kind::Shared << Outcome::Acquired;
        QTest::newRow("dialog, dialog") << dialog << Kind::Dialog << Outcome::HeldElsewhere;
        QTest::newRow("dialog and shared, full screen") << dialogAndShared << Kind::FullScreen << Outcome::HeldElsewhere;
        QTest::newRow("dialog and shared, dialog") << dialogAndShared << Kind::Dialog << Outcome::HeldElsewhere;
    }

    // Every holder is a process of its own; the file stays until the last of them lets go.
    void whatRunsBesideWhat()
    {
        QFETCH(QList<Kind>, running);
        QFETCH(Kind, starting);
        QFETCH(Outcome, outcome);
        std::vector<std::unique_ptr<LockHolder>> holders;
        for (const Kind kind : running) {
            holders.push_back(std::make_unique<LockHolder>(path_, kind));
            QCOMPARE(holders.back()->outcome(), Outcome::Acquired);
        }
        auto newcomer = std::make_unique<LockHolder>(path_, starting);
        QCOMPARE(newcomer->outcome(), outcome);
        holders.insert(holders.begin(), std::move(newcomer));
        for (auto &holder : holders) {
            QVERIFY(QFile::exists(path_));
            QVERIFY(holder->release());
        }
        QVERIFY(!QFile::exists(path_));
    }

    void ofSharedHoldersLeavingTogetherOneDeletesTheFile()
    {
        for (int round = 0; round < 20; ++round) {
            std::vector<std::unique_ptr<LockHolder>> holders;
            for (int i = 0; i < 6; ++i)
                holders.push_back(std::make_unique<LockHolder>(path_, i == 0 ? Kind::Dialog : Kind::Shared));
            for (auto &holder : holders)
                holder->letGo();
            for (auto &holder : holders)
                QVERIFY(holder->release());
            QVERIFY2(!QFile::exists(path_), qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }

    // A host ends one copy and starts the next at once (a preview, then the real run): the last
    // copy out locks the file alone while it deletes it, and the next must not be turned away.
    void aSharedLockHolderStartingWhileTheLastDeletesTheFileRuns()
    {
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t leaving = ::fork();
        if (leaving == 0) {
            const QByteArray native = QFile::encodeName(path_);
            const int fd = ::open(native.constData(), O_RDWR | O_CREAT, 0644);
            const char locked = fd >= 0 && ::flock(fd, LOCK_EX) == 0;
            if (::write(ready[1], &locked, 1) != 1)
                ::_exit(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ::_exit(::unlink(native.constData()));
        }
        char locked = 0;
        QVERIFY(::read(ready[0], &locked, 1) == 1 && locked);
        LockHolder starting(path_, Kind::Shared);
        ::waitpid(leaving, nullptr, 0);
        QCOMPARE(starting.outcome(), Outcome::Acquired);
        QVERIFY(QFile::exists(path_));
        QVERIFY(starting.release());
        QVERIFY(!QFile::exists(path_));
    }

    void aFileLeftByADeadCopyIsTakenOverAndEmptied()
    {
        QFile stale(path_);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("left over");
        stale.close();

        InstanceLock lock;
        QCOMPARE(lock.acquire(path_, Kind::FullScreen), Outcome::Acquired);
        QCOMPARE(QFile(path_).size(), 0);
        QVERIFY(lock.release());
        QVERIFY(!QFile::exists(path_));
    }

    // As left by a run under sudo: the user cannot write it but may replace it in the folder.
    void aLeftoverTheUserCannotWriteIsReplaced()
    {
        QFile stale(path_);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        QVERIFY(stale.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(dir_->path(), QFile::Permissions(0x7777)));

        LockHolder user(path_, Kind::FullScreen, LockHolder::User::Unprivileged);
        QCOMPARE(user.outcome(), Outcome::Acquired);
        QVERIFY(user.release());
        QVERIFY(!QFile::exists(path_));
    }

    void linksAndOtherFilesAtThePathAreRefused()
    {
        const QString target = dir_->filePath(QStringLiteral("target"));
        QVERIFY(QFile::link(target, path_));
        InstanceLock lock;
        QCOMPARE(lock.acquire(path_, Kind::FullScreen), Outcome::Failed);
        QVERIFY2(lock.errorString().contains(QLatin1String("symbolic link")), qPrintable(lock.errorString()));
        QVERIFY2(!QFile::exists(target), "the link's target must not be created");

        QVERIFY(QFile::remove(path_));
        QVERIFY(QDir().mkdir(path_));
        QCOMPARE(lock.acquire(path_, Kind::Shared), Outcome::Failed);
        QVERIFY(QDir().rmdir(path_));

        QFile other(target);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("keep me");
        other.close();
        QCOMPARE(::link(QFile::encodeName(target).constData(), QFile::encodeName(path_).constData()), 0);
        QCOMPARE(lock.acquire(path_, Kind::FullScreen), Outcome::Failed);
        QCOMPARE(QFile(target).size(), 7);
    }

    // The file was deleted from outside and a new copy made its own: releasing the first copy
    // must leave the new copy's file, which keeps turning others away.
    void releaseDeletesOnlyTheFileItHolds()
    {
        InstanceLock first;
        QCOMPARE(first.acquire(path_, Kind::FullScreen), Outcome::Acquired);
        QVERIFY(QFile::remove(path_));
        LockHolder second(path_, Kind::FullScreen);
        QCOMPARE(second.outcome(), Outcome::Acquired);
        QVERIFY(first.release());
        QVERIFY(QFile::exists(path_));
        QCOMPARE(LockHolder(path_, Kind::FullScreen).outcome(), Outcome::HeldElsewhere);
        QVERIFY(second.release());
        QVERIFY(!QFile::exists(path_));
    }

    void aFileAlreadyGoneAtTheEndIsNoError()
    {
        InstanceLock lock;
        QCOMPARE(lock.acquire(path_, Kind::FullScreen), Outcome::Acquired);
        QVERIFY(dir_->remove());
        QVERIFY2(lock.release(), qPrintable(lock.errorString()));
    }

    void aMissingFolderIsAFailureWithAReason()
    {
        const QString path = dir_->filePath(QStringLiteral("missing/clocksaver.in1"));
        InstanceLock lock;
        QCOMPARE(lock.acquire(path, Kind::FullScreen), Outcome::Failed);
        QVERIFY(lock.errorString().contains(path));
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "test_instance_lock.moc"
