// The built program as a process: argument forms, the single-instance lock and quit signals.
#include "support/program_copy.h"

#include <QFile>
#include <QTest>

#include <csignal>
#include <vector>

class TestProcess : public QObject
{
    Q_OBJECT

private slots:
    void argumentsWithoutAFormEndAtOnce_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("/s:5120") << QStringList{"/s:5120"};
        QTest::newRow("/p") << QStringList{"/p", "1234"};
        QTest::newRow("/x") << QStringList{"/x"};
    }

    void argumentsWithoutAFormEndAtOnce()
    {
        QFETCH(QStringList, arguments);
        ProgramCopy copy;
        QVERIFY(copy.isValid());
        auto process = copy.start(arguments);
        QVERIFY(EndsCleanly(*process));
        QVERIFY(!QFile::exists(copy.lockPath()));
        QVERIFY2(!QFile::exists(copy.settingsPath()), "nothing but the lock is touched");
    }

    void formsRunUntilAQuitSignal_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("signal");
        QTest::newRow("/S SIGTERM") << QStringList{"/S"} << SIGTERM;
        QTest::newRow("/s SIGHUP") << QStringList{"/s"} << SIGHUP;
        QTest::newRow("/C SIGTERM") << QStringList{"/C"} << SIGTERM;
        QTest::newRow("/c SIGINT") << QStringList{"/c"} << SIGINT;
        QTest::newRow("/c:5120 SIGTERM") << QStringList{"/c:5120"} << SIGTERM;
    }

    void formsRunUntilAQuitSignal()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, signal);
        ProgramCopy copy;
        auto process = copy.start(arguments);
        QVERIFY(waitUntil([&] { return QFile::exists(copy.lockPath()); }));
        QVERIFY2(!process->waitForFinished(500), "a form keeps the program running");
        QCOMPARE(::kill(pid_t(process->processId()), signal), 0);
        QVERIFY(EndsCleanly(*process));
        QVERIFY(!QFile::exists(copy.lockPath()));
    }

    void aRunningCopyTurnsAwayTheNext()
    {
        ProgramCopy copy;
        auto first = copy.start({"/S"});
        QVERIFY(waitUntil([&] { return QFile::exists(copy.lockPath()); }));

        for (const QString &mode : {QStringLiteral("/S"), QStringLiteral("/C"), QString()}) {
            auto second = copy.start(mode.isEmpty() ? QStringList{} : QStringList{mode});
            QVERIFY2(EndsCleanly(*second, 5000), qPrintable(mode));
            QVERIFY(QFile::exists(copy.lockPath()));
        }
        QCOMPARE(first->state(), QProcess::Running);

        first->terminate();
        QVERIFY(EndsCleanly(*first));
        QVERIFY(!QFile::exists(copy.lockPath()));
    }

    void aLockFileLeftByAKilledCopyIsTakenOver()
    {
        ProgramCopy copy;
        auto killed = copy.start({"/S"});
        QVERIFY(waitUntil([&] { return QFile::exists(copy.lockPath()); }));
        killed->kill();
        killed->waitForFinished();
        QVERIFY(QFile::exists(copy.lockPath()));

        auto next = copy.start({"/S"});
        QVERIFY2(!next->waitForFinished(1000), "the stale lock must not stop the next start");
        next->terminate();
        QVERIFY(EndsCleanly(*next));
        QVERIFY(!QFile::exists(copy.lockPath()));
    }

    void ofManySimultaneousStartsExactlyOneRuns()
    {
        ProgramCopy copy;
        std::vector<std::unique_ptr<QProcess>> starts;
        for (int i = 0; i < 20; ++i) {
            auto process = std::make_unique<QProcess>();
            process->setProcessEnvironment(ProgramCopy::offscreenEnvironment());
            process->start(copy.programPath(), {"/S"});
            starts.push_back(std::move(process));
        }
        const auto running = [&] {
            return std::count_if(starts.begin(), starts.end(), [](auto &p) {
                p->waitForFinished(0);
                return p->state() != QProcess::NotRunning;
            });
        };
        QVERIFY(waitUntil([&] { return running() == 1; }, 30000));
        QTest::qWait(500);
        QCOMPARE(running(), 1);
        for (auto &process : starts) {
            if (process->state() != QProcess::NotRunning)
                process->terminate();
            QVERIFY(EndsCleanly(*process));
        }
        QVERIFY(!QFile::exists(copy.lockPath()));
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "test_process.moc"
