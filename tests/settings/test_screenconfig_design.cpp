// The dialog as laid out in the font that stands in for the design's: every caption whole,
// nothing overlapping, the client area fitted to the controls, fixed size.

#include "screenconfig_fixture.h"

#include <QLabel>
#include <QTest>

namespace {

QList<QWidget *> Controls(const Tscreenconfig &dialog)
{
    return dialog.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

class ScreenconfigDesign : public QObject
{
    Q_OBJECT
private slots:
    void everyCaptionShowsWhole();
    void noControlsOverlap();
    void clientAreaIsTheControlsBoundingBox();
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

void ScreenconfigDesign::noControlsOverlap()
{
    SettingsSandbox folder;
    Tscreenconfig dialog;
    const QList<QWidget *> controls = Controls(dialog);
    QCOMPARE(controls.size(), 11);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + QStringLiteral(" overlaps ") + controls[j]->objectName()));
        }
    }
}

void ScreenconfigDesign::clientAreaIsTheControlsBoundingBox()
{
    SettingsSandbox folder;
    Tscreenconfig dialog;
    QRect boundingBox;
    for (const QWidget *control : Controls(dialog))
        boundingBox |= control->geometry();
    QCOMPARE(boundingBox, dialog.rect());
    // The empty corner labels keep the margins round the visible controls.
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("Label6"))->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("Label5"))->geometry().bottomRight(), dialog.rect().bottomRight());
    QVERIFY(dialog.width() >= 307);
    QCOMPARE(dialog.height(), 173);
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
