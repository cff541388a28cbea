// The full-screen form on two screens: the form covers the primary one, a black window the
// other, keys pressed and the pointer moved on either are reported, and closing the form from a
// cover's own event leaves that window alive. Run with the offscreen platform set up for two
// screens.

#include "windowing/full_screen_form.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

QList<QWidget *> visibleWindowsBut(const QWidget &form)
{
    QList<QWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget != &form && widget->isVisible())
            windows << widget;
    return windows;
}

// A mouse-move event as the platform delivers it to a window, or a widget within one.
template<typename Window>
void sendMove(Window &window, const QPoint &global)
{
    QMouseEvent move(QEvent::MouseMove, window.mapFromGlobal(global), global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
}

} // namespace

class TestFullScreenForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::screens().size(), 2); }
    void init();
    void cleanup() { form_.reset(); }
    void formCoversThePrimaryScreenBorderless();
    void everyOtherScreenIsCoveredInBlack();
    void keysOnEitherScreenAreReported();
    void onlyANewPointerPositionIsMovement();
    void coversGoWhenTheFormClosesAndComeBackWhenItShows();
    void closingFromACoversEventLeavesTheCoverAlive();

private:
    std::unique_ptr<FullScreenForm> form_;
};

void TestFullScreenForm::init()
{
    // The pointer rests on the second screen from before the form shows.
    QCursor::setPos(QGuiApplication::screens().at(1)->geometry().center());
    form_ = std::make_unique<FullScreenForm>();
    QSignalSpy resized(form_.get(), &FullScreenForm::resized);
    QSignalSpy shown(form_.get(), &FullScreenForm::shown);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QVERIFY(resized.count() >= 1);
    QCOMPARE(shown.count(), 1);
}

void TestFullScreenForm::formCoversThePrimaryScreenBorderless()
{
    QCOMPARE(form_->geometry(), QGuiApplication::primaryScreen()->geometry());
    QCOMPARE(form_->screen(), QGuiApplication::primaryScreen());
    QVERIFY(form_->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(form_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(QColor(form_->grab().toImage().pixel(500, 400)), QColor(Qt::black));
}

void TestFullScreenForm::everyOtherScreenIsCoveredInBlack()
{
    const QList<QWidget *> covers = visibleWindowsBut(*form_);
    QCOMPARE(covers.size(), 1);
    QScreen *second = QGuiApplication::screens().at(1);
    QCOMPARE(covers.first()->geometry(), second->geometry());
    QCOMPARE(covers.first()->cursor().shape(), Qt::BlankCursor);
    const QImage shown = covers.first()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(400, 300)), QColor(Qt::black));
}

void TestFullScreenForm::keysOnEitherScreenAreReported()
{
    QSignalSpy keys(form_.get(), &FullScreenForm::keyPressed);
    QTest::keyClick(visibleWindowsBut(*form_).first(), Qt::Key_A);
    QCOMPARE(keys.count(), 1);
    QTest::keyClick(form_.get(), Qt::Key_Space);
    QCOMPARE(keys.count(), 2);
}

// Qt makes up a move event where the pointer is for a click at a position it has not seen yet:
// only one that goes somewhere new, over any of the windows, is movement.
void TestFullScreenForm::onlyANewPointerPositionIsMovement()
{
    QSignalSpy moves(form_.get(), &FullScreenForm::mouseMoved);
    QWidget *cover = visibleWindowsBut(*form_).first();
    const QPoint resting = QCursor::pos();
    sendMove(*cover, resting);
    QCOMPARE(moves.count(), 0);
    sendMove(*cover, resting + QPoint(1, 0));
    QCOMPARE(moves.count(), 1);
    sendMove(*form_->windowHandle(), resting + QPoint(1, 0));
    QCOMPARE(moves.count(), 1);
    sendMove(*form_->windowHandle(), QPoint(500, 400));
    QCOMPARE(moves.count(), 2);
}

void TestFullScreenForm::coversGoWhenTheFormClosesAndComeBackWhenItShows()
{
    form_->close();
    QVERIFY(visibleWindowsBut(*form_).isEmpty());
    form_->show();
    const QList<QWidget *> covers = visibleWindowsBut(*form_);
    QCOMPARE(covers.size(), 1);
    QCOMPARE(covers.first()->geometry(), QGuiApplication::screens().at(1)->geometry());
}

void TestFullScreenForm::closingFromACoversEventLeavesTheCoverAlive()
{
    connect(form_.get(), &FullScreenForm::keyPressed, form_.get(), &QWidget::close);
    const QPointer<QWidget> cover = visibleWindowsBut(*form_).first();
    QTest::keyClick(cover, Qt::Key_A);
    QVERIFY(!form_->isVisible());
    QVERIFY(cover);
    QVERIFY(!cover->isVisible());
}

QTEST_MAIN(TestFullScreenForm)
#include "test_full_screen_form.moc"
