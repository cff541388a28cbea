#include "opdate/opdate.h"
#include "settings/settings_file.h"
#include "support/in_child.h"
#include "support/owned_files.h"
#include "support/settings_sandbox.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <limits>
#include <memory>
#include <sys/stat.h>

class TestSettingsReader : public QObject
{
    Q_OBJECT

    std::unique_ptr<SettingsSandbox> sandbox_;

    QString settingsPath() const { return sandbox_->settingsPath(); }
    void writeFile(const QByteArray &contents) { QVERIFY(sandbox_->writeSettings(contents)); }

private slots:
    // A zone one hour east of UTC all year, where a UTC difference left to the zone is -1.
    void initTestCase() { qputenv("TZ", "CET-1"), tzset(); }
    void init() { sandbox_ = std::make_unique<SettingsSandbox>(); }

    void linesFillScreenTextAndOffsets_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("screenText");
        QTest::addColumn<int>("local");
        QTest::addColumn<int>("utc");
        QTest::newRow("three lines") << QByteArray("DL1ABC\n2\n-3\n") << QByteArray("DL1ABC") << 2 << -3;
        QTest::newRow("single line") << QByteArray("ABC") << QByteArray("ABC") << 0 << -1;
        QTest::newRow("empty line 2") << QByteArray("X\n\n2\n") << QByteArray("X") << 0 << 2;
        QTest::newRow("empty line 1") << QByteArray("\n1\n1\n") << QByteArray() << 1 << 1;
        QTest::newRow("empty file") << QByteArray() << QByteArray("QX0VRT") << 0 << -1;
        QTest::newRow("extra lines ignored") << QByteArray("A\n1\n2\n3\n4\n") << QByteArray("A") << 1 << 2;
        QTest::newRow("CR LF") << QByteArray("A B\r\n4\r\n5\r\n") << QByteArray("A B") << 4 << 5;
        QTest::newRow("CR only") << QByteArray("A B\r4\r5\r") << QByteArray("A B") << 4 << 5;
        QTest::newRow("CR LF empty line 2") << QByteArray("A\r\n\r\n5\r\n") << QByteArray("A") << 0 << 5;
        QTest::newRow("no final line end") << QByteArray("A\n4\n5") << QByteArray("A") << 4 << 5;
        QTest::newRow("Latin-1 and NUL bytes kept")
            << QByteArray("\xD6sterreich\0!\n1\n2\n", 18) << QByteArray("\xD6sterreich\0!", 12) << 1 << 2;
    }

    void linesFillScreenTextAndOffsets()
    {
        QFETCH(QByteArray, contents);
        writeFile(contents);
        QTEST(ReadSettings(), "screenText");
        QTEST(int(LocalOffset), "local");
        QTEST(int(UtcOffsetInForce()), "utc");
    }

    void noFileMeansDefaults()
    {
        QCOMPARE(ReadSettings(), QByteArray("QX0VRT"));
        QCOMPARE(LocalOffset, 0);
        QVERIFY(!UtcOffset);

        QVERIFY(QDir(sandbox_->folder()).mkdir(QStringLiteral("clocksaver.in1.ini")));
        QCOMPARE(ReadSettings(), QByteArray("QX0VRT"));
        QVERIFY(QDir(sandbox_->folder()).rmdir(QStringLiteral("clocksaver.in1.ini")));
    }

    void hourTextsConvertOrKeepTheDefault_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<std::optional<std::int32_t>>("value");
        const std::optional<std::int32_t> none;
        QTest::newRow("05") << QByteArray("05") << std::optional(5);
        QTest::newRow("+3") << QByteArray("+3") << std::optional(3);
        QTest::newRow("-0") << QByteArray("-0") << std::optional(0);
        QTest::newRow("-12") << QByteArray("-12") << std::optional(-12);
        QTest::newRow("leading blank") << QByteArray(" 7") << std::optional(7);
        QTest::newRow("trailing blank") << QByteArray("7 ") << std::optional(7);
        QTest::newRow("tab") << QByteArray("\t7") << std::optional(7);
        QTest::newRow("12abc") << QByteArray("12abc") << none;
        QTest::newRow("abc") << QByteArray("abc") << none;
        QTest::newRow("-") << QByteArray("-") << none;
        QTest::newRow("+-1") << QByteArray("+-1") << none;
        QTest::newRow("1 2") << QByteArray("1 2") << none;
        QTest::newRow("empty") << QByteArray() << none;
        QTest::newRow("too large") << QByteArray("99999999999") << none;
        QTest::newRow("just too large") << QByteArray("2147483648") << none;
        QTest::newRow("just too small") << QByteArray("-2147483649") << none;
        QTest::newRow("many digits") << QByteArray(70000, '9') << none;
        QTest::newRow("int min") << QByteArray("-2147483648") << std::optional(std::numeric_limits<std::int32_t>::min());
        QTest::newRow("int max") << QByteArray("2147483647") << std::optional(std::numeric_limits<std::int32_t>::max());
        QTest::newRow("leading zeros") << QByteArray("-0000000000000000002") << std::optional(-2);
    }

    void hourTextsConvertOrKeepTheDefault()
    {
        QFETCH(QByteArray, text);
        QFETCH(std::optional<std::int32_t>, value);
        QCOMPARE(ParseHourOffset(text), value);

        writeFile("T\n" + text + "\n" + text + "\n");
        ReadSettings();
        QCOMPARE(LocalOffset, value.value_or(0));
        QCOMPARE(UtcOffset, value);
    }

    // Left empty, the UTC difference is the zone's (here on 2024-01-01 or 07-01), and OK keeps it empty.
    void anEmptyUtcDifferenceFollowsTheZone()
    {
        using Row = std::tuple<const char *, qint64, int>;
        writeFile("A\n1\n\n");
        for (const auto &[zone, instant, hours] :
             {Row{"UTC", 1719828510, 0}, Row{"Europe/Berlin", 1704103710, -1}, Row{"Europe/Berlin", 1719828510, -2},
              Row{"Asia/Kolkata", 1704103710, -6}}) {
            qputenv("TZ", zone), tzset();
            SetEpochClock([instant] { return instant; });
            ReadSettings();
            QCOMPARE(UtcOffsetInForce(), hours);
            QCOMPARE(UtcTextToSave(QByteArray::number(hours)), QByteArray());
        }
        SetEpochClock({});
        initTestCase();
    }

    void hugeOrBinaryFilesAreReadWithBoundedLines()
    {
        // One endless line: the screen text is cut, and no offsets follow it.
        writeFile(QByteArray(8 * 1024 * 1024, 'x'));
        QCOMPARE(ReadSettings().size(), MaxSettingsLineLength);
        QCOMPARE(LocalOffset, 0);

        // A long first line is cut; the lines after it still count.
        writeFile(QByteArray(100 * 1024, 'y') + "\n3\n4\n");
        QCOMPARE(ReadSettings(), QByteArray(MaxSettingsLineLength, 'y'));
        QCOMPARE(LocalOffset, 3);
        QCOMPARE(UtcOffset, 4);

        QByteArray binary(1024 * 1024, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((unsigned(i) * 7919u) & 0xFFu);
        writeFile(binary);
        QVERIFY(ReadSettings().size() <= MaxSettingsLineLength);
    }

    void onlyFilesOfTheUserOrRootAreRead_data() { addOwnerRows(); }

    void onlyFilesOfTheUserOrRootAreRead()
    {
        if (!RunningAsRoot())
            QSKIP("Only root can give files to another user.");
        QFETCH(bool, trusted);
        placeOwnerRow(settingsPath(), sandbox_->filePath(QStringLiteral("linked.ini")), "OWN\n5\n6\n");
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(ReadSettings(), trusted ? QByteArray("OWN") : QByteArray("QX0VRT"));
        QCOMPARE(LocalOffset, trusted ? 5 : 0);
        QCOMPARE(UtcOffsetInForce(), trusted ? 6 : -1);
    }

    void aUserOtherThanRootReadsTheirOwnFile()
    {
        if (!RunningAsRoot())
            QSKIP("Not root: every other case here reads the user's own files already.");
        writeFile("OWN\n5\n6\n");
        QVERIFY(::chown(QFile::encodeName(settingsPath()).constData(), NobodyId, NobodyId) == 0);
        QVERIFY(::chmod(QFile::encodeName(sandbox_->folder()).constData(), 0755) == 0);
        const int exitCode = inChild([] {
            if (!BecomeNobody())
                return 2;
            return ReadSettings() == "OWN" ? 0 : 1;
        });
        QCOMPARE(exitCode, 0);
    }

    void aFifoAtThePathDoesNotBlockTheOpen()
    {
        QVERIFY(::mkfifo(QFile::encodeName(settingsPath()).constData(), 0600) == 0);
        // Without a writer, opening a FIFO for reading waits for one; the alarm ends such a wait.
        const int exitCode = inChild([this] {
            ::alarm(10);
            return OpenSettingsFile(settingsPath()) < 0 && ReadSettings() == DefaultScreenText ? 0 : 1;
        });
        QCOMPARE(exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestSettingsReader)
#include "test_settings_reader.moc"
