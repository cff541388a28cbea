// The dialog as laid out in the font that stands in for the design's: every caption whole, the
// controls apart and inside the dialog, which the user cannot resize.

#include "screenconfig_fixture.h"

#include <QLabel>
#include <QTest>

class ScreenconfigDesign : public QObject
{
    Q_OBJECT
private slots:
    void everyCaptionShowsWhole();
    void controlsNeitherOverlapNorLeaveTheDialog();
    void fixedSizeWithoutMinimiseOrMaximiseBox();
};

void ScreenconfigDesign::everyCaptionShowsWhole()
{
    SettingsSandbox folder;
    Tscreenconfig dialog;
    int captions = 0;
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        ++captions;
        QVERIFY2(label->width() >= label->sizeHint().width() && label->height() >= label->sizeHint().height(),
                 qPrintable(label->objectName()));
    }
    QCOMPARE(captions, 4);
    for (const char *name : {"btnOK", "Button2"}) {
        const QPushButton *button = Button(dialog, name);
        const QString caption = button->text().remove(QLatin1Char('&'));
        QVERIFY2(button->fontMetrics().horizontalAdvance(caption) + 8 <= button->width(), name);
    }
}

void ScreenconfigDesign::controlsNeitherOverlapNorLeaveTheDialog()
{
    SettingsSandbox folder;
    Tscreenconfig dialog;
    const QList<QWidget *> controls = dialog.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 11);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        QVERIFY2(dialog.rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + QStringLiteral(" overlaps ") + controls[j]->objectName()));
        }
    }
}

void ScreenconfigDesign::fixedSizeWithoutMinimiseOrMaximiseBox()
{
    SettingsSandbox folder;
    Tscreenconfig dialog;
    QVERIFY(dialog.isWindow());
    QCOMPARE(dialog.minimumSize(), dialog.size());
    QCOMPARE(dialog.maximumSize(), dialog.size());
    const Qt::WindowFlags flags = dialog.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
}

QTEST_MAIN(ScreenconfigDesign)
#include "test_screenconfig_design.moc"
