// The dialog shows the settings in effect and OK saves the boxes' texts exactly as they stand.

#include "screenconfig_fixture.h"

#include <QTest>

class ScreenconfigFilling : public QObject
{
    Q_OBJECT
private slots:
    // One hour east of UTC all year: a UTC difference left to the zone is -1.
    void initTestCase() { qputenv("TZ", "CET-1"), tzset(); }
    void showsSettingsInEffectAndOkSavesThem_data();
    void showsSettingsInEffectAndOkSavesThem();
    void savesTextsExactlyAsTyped();
    void leavingWithoutOkWritesNothing_data();
    void leavingWithoutOkWritesNothing();
};

void ScreenconfigFilling::showsSettingsInEffectAndOkSavesThem_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no settings file
    QTest::addColumn<QString>("screenText");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("utc");
    QTest::addColumn<QByteArray>("saved");

    QTest::newRow("no file") << QByteArray() << "QX0VRT"
                             << "0"
                             << "-1" << QByteArray("QX0VRT\n0\n\n");
    QTest::newRow("05 and an empty line") << QByteArray("DL1ABC\n05\n\n") << "DL1ABC"
                                          << "5"
                                          << "-1" << QByteArray("DL1ABC\n5\n\n");
    QTest::newRow("longer than the typing limit") << QByteArray("X\n-12\n-11\n") << "X"
                                                  << "-12"
                                                  << "-11" << QByteArray("X\n-12\n-11\n");
    QTest::newRow("Latin-1 bytes") << QByteArray("\xC4\xF6\xDF\xA0\xFF 0\n3\n+4\n") << QStringLiteral("Äöß\u00A0ÿ 0") << "3"
                                   << "4" << QByteArray("\xC4\xF6\xDF\xA0\xFF 0\n3\n4\n");
    QTest::newRow("empty screen text") << QByteArray("\n1\n2\n") << ""
                                       << "1"
                                       << "2" << QByteArray("\n1\n2\n");
}

void ScreenconfigFilling::showsSettingsInEffectAndOkSavesThem()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, screenText);
    QFETCH(QString, local);
    QFETCH(QString, utc);
    QFETCH(QByteArray, saved);

    SettingsSandbox folder;
    if (!file.isNull())
        QVERIFY(folder.writeSettings(file));
    Tscreenconfig dialog;
    QCOMPARE(Edit(dialog, "ename")->text(), screenText);
    QCOMPARE(Edit(dialog, "eLocal")->text(), local);
    QCOMPARE(Edit(dialog, "eUTC")->text(), utc);

    dialog.show();
    Button(dialog, "btnOK")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(folder.settings(), saved);
}

void ScreenconfigFilling::savesTextsExactlyAsTyped()
{
    SettingsSandbox folder;
    Tscreenconfig dialog;
    dialog.show();
    Edit(dialog, "ename")->setText(QStringLiteral("  padded  "));
    Edit(dialog, "eLocal")->setText(QStringLiteral("-"));
    Edit(dialog, "eUTC")->setText(QStringLiteral("ab"));
    Button(dialog, "btnOK")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(folder.settings(), QByteArray("  padded  \n-\nab\n"));

    Tscreenconfig again;
    again.show();
    Edit(again, "eLocal")->clear();
    Button(again, "btnOK")->click();
    QCOMPARE(folder.settings(), QByteArray("  padded  \n\n\n"));
}

void ScreenconfigFilling::leavingWithoutOkWritesNothing_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no settings file
    QTest::addColumn<bool>("closeBox");

    QTest::newRow("Abbruch, no file") << QByteArray() << false;
    QTest::newRow("Abbruch") << QByteArray("ABC\n05\n\n") << false;
    QTest::newRow("close box, no file") << QByteArray() << true;
    QTest::newRow("close box") << QByteArray("ABC\n05\n\n") << true;
}

void ScreenconfigFilling::leavingWithoutOkWritesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, closeBox);

    SettingsSandbox folder;
    if (!file.isNull())
        QVERIFY(folder.writeSettings(file));
    Tscreenconfig dialog;
    dialog.show();
    Edit(dialog, "ename")->setText(QStringLiteral("changed"));
    if (closeBox)
        dialog.close();
    else
        Button(dialog, "Button2")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(QFile::exists(folder.settingsPath()), !file.isNull());
    QCOMPARE(folder.settings(), file);
}

QTEST_MAIN(ScreenconfigFilling)
#include "test_screenconfig_filling.moc"
