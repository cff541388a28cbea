#include "settings/settings_file.h"
#include "support/in_child.h"
#include "support/owned_files.h"
#include "support/settings_sandbox.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct stat statOf(const QString &path)
{
    struct stat info = {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info;
}

mode_t modeOf(const QString &path)
{
    return statOf(path).st_mode & 07777;
}

} // namespace

class TestSettingsWriter : public QObject
{
    Q_OBJECT

    std::unique_ptr<SettingsSandbox> sandbox_;
    QString path_;
    const QByteArray old_ = "OLD\n1\n2\n";

    QStringList folderEntries() const { return QDir(sandbox_->folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    // After a failed write: the old contents, and nothing else in the folder.
    void expectOldFileOnly()
    {
        QCOMPARE(FileContents(path_), old_);
        QCOMPARE(folderEntries(), QStringList{QStringLiteral("clocksaver.in1.ini")});
    }

private slots:
    void init()
    {
        sandbox_ = std::make_unique<SettingsSandbox>();
        path_ = sandbox_->settingsPath();
    }

    void textsAreWrittenExactlyAndReadBack_data()
    {
        QTest::addColumn<QByteArray>("screen");
        QTest::addColumn<QByteArray>("local");
        QTest::addColumn<QByteArray>("utc");
        QTest::newRow("usual") << QByteArray("DL1ABC") << QByteArray("2") << QByteArray("-1");
        QTest::newRow("as typed") << QByteArray(" a b ") << QByteArray("05") << QByteArray("-");
        QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("Latin-1") << QByteArray("\xC4\xD6\xDC\xDF") << QByteArray("x") << QByteArray("-12");
    }

    void textsAreWrittenExactlyAndReadBack()
    {
        QFETCH(QByteArray, screen);
        QFETCH(QByteArray, local);
        QFETCH(QByteArray, utc);
        QVERIFY(WriteFile(path_, old_));
        const SaveResult result = WriteSettingsFile(path_, screen, local, utc);
        QVERIFY2(result.ok, qPrintable(result.reason));
        QVERIFY(result.reason.isEmpty());
        QCOMPARE(FileContents(path_), screen + '\n' + local + '\n' + utc + '\n');
        const SettingsLines lines = ReadSettingsFile(path_);
        QCOMPARE(lines.screenText, screen);
        QCOMPARE(lines.localText, local);
        QCOMPARE(lines.utcText, utc);
        QCOMPARE(folderEntries().size(), 1);
    }

    void modesAndLinksAreKept()
    {
        const mode_t mask = ::umask(022);
        QVERIFY(WriteSettingsFile(path_, "A", "1", "2").ok);
        QCOMPARE(modeOf(path_), mode_t(0644));
        ::umask(mask);

        QVERIFY(QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(WriteSettingsFile(path_, "B", "1", "2").ok);
        QCOMPARE(modeOf(path_), mode_t(0600));

        const QString link = sandbox_->filePath(QStringLiteral("link.ini"));
        QVERIFY(QFile::link(path_, link));
        QVERIFY(WriteSettingsFile(link, "C", "3", "4").ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(FileContents(path_), QByteArray("C\n3\n4\n"));

        // A relative link leads from its own folder, not from the current one, through a second link.
        const QString relativeLink = sandbox_->filePath(QStringLiteral("relative.ini"));
        QVERIFY(::symlink("link.ini", QFile::encodeName(relativeLink).constData()) == 0);
        QVERIFY(WriteSettingsFile(relativeLink, "D", "5", "6").ok);
        QCOMPARE(FileContents(path_), QByteArray("D\n5\n6\n"));
        QCOMPARE(folderEntries().size(), 3);
    }

    void aReadOnlyFileStaysUnchanged()
    {
        QVERIFY(WriteFile(path_, old_));
        QVERIFY(QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const SaveResult result = WriteSettingsFile(path_, "NEW", "3", "4");
        QVERIFY(!result.ok);
        QVERIFY(result.reason.contains(QStringLiteral("schreibgeschützt")));
        expectOldFileOnly();
    }

    void aFolderInTheWayIsReported()
    {
        QVERIFY(QDir(sandbox_->folder()).mkdir(QStringLiteral("clocksaver.in1.ini")));
        const SaveResult result = WriteSettingsFile(path_, "NEW", "3", "4");
        QVERIFY(!result.ok);
        QVERIFY(!result.reason.isEmpty());
        QVERIFY(QFileInfo(path_).isDir());
        QCOMPARE(folderEntries().size(), 1);
    }

    void lineBreaksInATextAreRefused()
    {
        QVERIFY(WriteFile(path_, old_));
        QVERIFY(!WriteSettingsFile(path_, "two\nlines", "3", "4").ok);
        QVERIFY(!WriteSettingsFile(path_, "A", "3\r", "4").ok);
        expectOldFileOnly();
    }

    void aWriteThatFailsMidwayKeepsTheOldFile()
    {
        QVERIFY(WriteFile(path_, old_));
        const int exitCode = inChild([this] {
            // Past this size a write fails with EFBIG instead of killing the process.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{16, 16};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const SaveResult result = WriteSettingsFile(path_, QByteArray(4096, 'x'), "3", "4");
            return !result.ok && !result.reason.isEmpty() ? 0 : 1;
        });
        QCOMPARE(exitCode, 0);
        expectOldFileOnly();
    }

    void aFolderTheUserCannotWriteKeepsTheOldFile()
    {
        QVERIFY(WriteFile(path_, old_));
        // The file itself is writable; only the folder is not, so nothing may go beside it.
        QVERIFY(QFile::setPermissions(path_, QFileDevice::Permissions(0x6666)));
        QVERIFY(::chmod(QFile::encodeName(sandbox_->folder()).constData(), 0755) == 0);
        const int exitCode = inChild([this] {
            if (RunningAsRoot() && !BecomeNobody())
                return 2;
            if (!RunningAsRoot())
                ::chmod(QFile::encodeName(sandbox_->folder()).constData(), 0555);
            const SaveResult result = WriteSettingsFile(path_, "NEW", "3", "4");
            return !result.ok && !result.reason.isEmpty() ? 0 : 1;
        });
        ::chmod(QFile::encodeName(sandbox_->folder()).constData(), 0700);
        QCOMPARE(exitCode, 0);
        expectOldFileOnly();
    }

    void onlyFilesOfTheUserOrRootAreReplaced_data() { addOwnerRows(); }

    void onlyFilesOfTheUserOrRootAreReplaced()
    {
        if (!RunningAsRoot())
            QSKIP("Only root can give files to another user.");
        QFETCH(bool, linked);
        QFETCH(uid_t, fileOwner);
        QFETCH(bool, trusted);
        const QString file = linked ? sandbox_->filePath(QStringLiteral("linked.ini")) : path_;
        placeOwnerRow(path_, file, old_);
        if (QTest::currentTestFailed())
            return;
        const SaveResult result = WriteSettingsFile(path_, "NEW", "3", "4");
        QCOMPARE(result.ok, trusted);
        QCOMPARE(FileContents(file), trusted ? QByteArray("NEW\n3\n4\n") : old_);
        if (!trusted) {
            QVERIFY(result.reason.contains(QStringLiteral("anderen Benutzer")));
            QCOMPARE(statOf(file).st_uid, fileOwner);
        }
        QCOMPARE(QFileInfo(path_).isSymLink(), linked);
    }

    void leftoversOfKilledSavesAreRemoved()
    {
        QVERIFY(WriteFile(path_, old_));
        const int killedBy = inChild([this] {
            // Past this size a write kills the process, in the middle of its save.
            const rlimit fileLimit{16, 16};
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            ::setrlimit(RLIMIT_FSIZE, &fileLimit);
            WriteSettingsFile(path_, QByteArray(4096, 'x'), "3", "4");
            return 0;
        });
        QCOMPARE(killedBy, 128 + SIGXFSZ);
        QCOMPARE(folderEntries().size(), 2);
        const QString running = QStringLiteral("clocksaver.in1.ini.new-%1-0").arg(::getppid());
        const QString unrelated = QStringLiteral("clocksaver.in1.ini.new-backup");
        for (const QString &name : {running, unrelated})
            QVERIFY(WriteFile(sandbox_->filePath(name), "half"));

        QVERIFY(WriteSettingsFile(path_, "NEW", "3", "4").ok);
        QCOMPARE(folderEntries(), QStringList({QStringLiteral("clocksaver.in1.ini"), running, unrelated}));
    }
};

QTEST_GUILESS_MAIN(TestSettingsWriter)
#include "test_settings_writer.moc"
