// Working the dialog from the keyboard: focus and tab order, the typing limit, what the boxes
// accept, Enter, Esc and the buttons' accelerators.

#include "screenconfig_fixture.h"

#include <QApplication>
#include <QTest>

namespace {

const QByteArray Saved = "ABC\n1\n2\n";

QString FocusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

// Types one character, whether or not the keyboard has a key for it.
void TypeCharacter(QWidget *widget, const QString &character)
{
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, character, Qt::NoModifier);
}

} // namespace

class ScreenconfigKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void focusStartsInEnameAndTabGoesDownTheDialog();
    void typingStopsAtTheLimit_data();
    void typingStopsAtTheLimit();
    void boxesTakeOnlyWhatTheFileCanHold_data();
    void boxesTakeOnlyWhatTheFileCanHold();
    void enterInAnyBoxSavesAndCloses_data();
    void enterInAnyBoxSavesAndCloses();
    void escapeAnywhereClosesWithoutSaving_data();
    void escapeAnywhereClosesWithoutSaving();
    void acceleratorsPressTheButtons_data();
    void acceleratorsPressTheButtons();
};

void ScreenconfigKeyboard::focusStartsInEnameAndTabGoesDownTheDialog()
{
    SettingsSandbox folder;
    Tscreenconfig dialog;
    QVERIFY(ShowActive(dialog));
    QCOMPARE(FocusName(), QStringLiteral("ename"));

    QStringList forward;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        forward << FocusName();
    }
    QCOMPARE(forward, QStringList({"eLocal", "eUTC", "btnOK", "Button2", "ename"}));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(FocusName(), QStringLiteral("Button2"));
}

void ScreenconfigKeyboard::typingStopsAtTheLimit_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::newRow("eLocal") << QByteArray("eLocal");
    QTest::newRow("eUTC") << QByteArray("eUTC");
}

void ScreenconfigKeyboard::typingStopsAtTheLimit()
{
    QFETCH(QByteArray, box);
    SettingsSandbox folder;
    QVERIFY(folder.writeSettings("X\n-12\n-12\n"));
    Tscreenconfig dialog;
    QVERIFY(ShowActive(dialog));
    QLineEdit *edit = Edit(dialog, box);
    edit->setFocus();

    // A value loaded longer than the limit stays whole, but nothing can be added to it ...
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "3");
    QCOMPARE(edit->text(), QStringLiteral("-12"));
    // ... and once shortened, the limit of two holds again.
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QTest::keyClicks(edit, "-");
    QCOMPARE(edit->text(), QStringLiteral("12"));

    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, "-123");
    QCOMPARE(edit->text(), QStringLiteral("-1"));
}

void ScreenconfigKeyboard::boxesTakeOnlyWhatTheFileCanHold_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("ename") << QByteArray("ename") << QByteArray("\xE9\xDF\n0\n\n");
    QTest::newRow("eLocal") << QByteArray("eLocal") << QByteArray("QX0VRT\n\xE9\xDF\n\n");
    QTest::newRow("eUTC") << QByteArray("eUTC") << QByteArray("QX0VRT\n0\n\xE9\xDF\n");
}

void ScreenconfigKeyboard::boxesTakeOnlyWhatTheFileCanHold()
{
    QFETCH(QByteArray, box);
    QFETCH(QByteArray, saved);
    SettingsSandbox folder;
    Tscreenconfig dialog;
    QVERIFY(ShowActive(dialog));
    QLineEdit *edit = Edit(dialog, box);
    edit->setFocus();
    edit->clear();

    TypeCharacter(edit, QStringLiteral("é"));
    TypeCharacter(edit, QStringLiteral("€"));
    TypeCharacter(edit, QStringLiteral("中"));
    edit->insert(QStringLiteral("\n"));
    edit->insert(QStringLiteral("\r\n"));
    TypeCharacter(edit, QStringLiteral("ß"));
    QCOMPARE(edit->text(), QStringLiteral("éß"));

    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(folder.settings(), saved);
}

void ScreenconfigKeyboard::enterInAnyBoxSavesAndCloses_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("ename") << QByteArray("ename") << QByteArray("7\n1\n2\n");
    QTest::newRow("eLocal") << QByteArray("eLocal") << QByteArray("ABC\n7\n2\n");
    QTest::newRow("eUTC") << QByteArray("eUTC") << QByteArray("ABC\n1\n7\n");
}

void ScreenconfigKeyboard::enterInAnyBoxSavesAndCloses()
{
    QFETCH(QByteArray, box);
    QFETCH(QByteArray, saved);
    SettingsSandbox folder;
    QVERIFY(folder.writeSettings(Saved));
    Tscreenconfig dialog;
    QVERIFY(ShowActive(dialog));
    QLineEdit *edit = Edit(dialog, box);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, "7");

    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(folder.settings(), saved);
}

void ScreenconfigKeyboard::escapeAnywhereClosesWithoutSaving_data()
{
    QTest::addColumn<QByteArray>("control");
    for (const char *name : {"ename", "eLocal", "eUTC", "btnOK", "Button2"})
        QTest::newRow(name) << QByteArray(name);
}

void ScreenconfigKeyboard::escapeAnywhereClosesWithoutSaving()
{
    QFETCH(QByteArray, control);
    SettingsSandbox folder;
    QVERIFY(folder.writeSettings(Saved));
    Tscreenconfig dialog;
    QVERIFY(ShowActive(dialog));
    QTest::keyClicks(Edit(dialog, "ename"), "changed");
    QWidget *widget = dialog.findChild<QWidget *>(QLatin1String(control));
    widget->setFocus();
    QCOMPARE(FocusName(), QLatin1String(control));

    QTest::keyClick(widget, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(folder.settings(), Saved);
}

void ScreenconfigKeyboard::acceleratorsPressTheButtons_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("Alt+O saves") << Qt::Key_O << QByteArray("ABCchanged\n1\n2\n");
    QTest::newRow("Alt+A leaves") << Qt::Key_A << Saved;
}

void ScreenconfigKeyboard::acceleratorsPressTheButtons()
{
    QFETCH(Qt::Key, key);
    QFETCH(QByteArray, saved);
    SettingsSandbox folder;
    QVERIFY(folder.writeSettings(Saved));
    Tscreenconfig dialog;
    QVERIFY(ShowActive(dialog));
    QLineEdit *edit = Edit(dialog, "ename");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "changed");

    QTest::keyClick(edit, key, Qt::AltModifier);
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(folder.settings(), saved);
}

QTEST_MAIN(ScreenconfigKeyboard)
#include "test_screenconfig_keyboard.moc"
