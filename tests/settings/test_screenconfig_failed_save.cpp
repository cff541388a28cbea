// OK when the settings file cannot be written: the dialog says so and stays open, the file keeps
// its contents, and the user can mend the cause and press OK again, or leave.

#include "screenconfig_fixture.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {

// Closes the next message box as soon as it is up and hands back its text; empty if none came.
class MessageBoxCatcher
{
public:
    MessageBoxCatcher()
    {
        QTimer::singleShot(0, [this] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(window);
                if (box && box->isVisible()) {
                    text_ = box->text();
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
    }
    QString text() const { return text_; }

private:
    QString text_;
};

} // namespace

class ScreenconfigFailedSave : public QObject
{
    Q_OBJECT
private slots:
    void readOnlyFileKeepsTheDialogOpen_data();
    void readOnlyFileKeepsTheDialogOpen();
};

void ScreenconfigFailedSave::readOnlyFileKeepsTheDialogOpen_data()
{
    QTest::addColumn<bool>("mendAndRetry");
    QTest::newRow("then Abbruch") << false;
    QTest::newRow("then OK once writable") << true;
}

void ScreenconfigFailedSave::readOnlyFileKeepsTheDialogOpen()
{
    QFETCH(bool, mendAndRetry);
    const QByteArray old = "ABC\n1\n2\n";
    SettingsSandbox folder;
    QVERIFY(folder.writeSettings(old));
    QVERIFY(QFile::setPermissions(folder.settingsPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    Tscreenconfig dialog;
    QVERIFY(ShowActive(dialog));
    Edit(dialog, "ename")->setText(QStringLiteral("new"));

    {
        MessageBoxCatcher message;
        Button(dialog, "btnOK")->click();
        QVERIFY2(message.text().startsWith(QStringLiteral("Die Einstellungen konnten nicht gespeichert werden.")),
                 qPrintable(message.text()));
        QVERIFY2(message.text().contains(folder.settingsPath()), qPrintable(message.text()));
        QVERIFY2(message.text().contains(QStringLiteral("schreibgeschützt")), qPrintable(message.text()));
    }
    QVERIFY(dialog.isVisible());
    QCOMPARE(Edit(dialog, "ename")->text(), QStringLiteral("new"));
    QCOMPARE(folder.settings(), old);

    if (mendAndRetry) {
        QVERIFY(QFile::setPermissions(folder.settingsPath(), QFile::ReadOwner | QFile::WriteOwner));
        Button(dialog, "btnOK")->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(folder.settings(), QByteArray("new\n1\n2\n"));
    } else {
        Button(dialog, "Button2")->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(folder.settings(), old);
    }
}

QTEST_MAIN(ScreenconfigFailedSave)
#include "test_screenconfig_failed_save.moc"
