// Drawing on a picture through the canvas: colours, persistent pen, brush and font state,
// pixel-exact placement, and the areas each operation reports as changed.

#include "drawing/bitmap.h"
#include "drawing/sprite.h"
#include "support/picture_difference.h"
#include "support/sharpness.h"

#include <QPainter>
#include <QTest>

namespace {

constexpr QRgb Black = 0xFF000000;

void useWhiteText(Canvas &canvas, BrushStyle brush)
{
    canvas.setFontSize(40);
    canvas.setFontColour(0xFFFFFF);
    canvas.setBrushStyle(brush);
}

// Pixels as Qt reports them, ignoring the unused alpha byte of RGB32.
QRgb pixelAt(const QImage &picture, int x, int y)
{
    return picture.pixel(x, y) | 0xFF000000;
}

} // namespace

class TestCanvas : public QObject
{
    Q_OBJECT
private slots:
    void penColoursAreWrittenBlueGreenRed_data();
    void penColoursAreWrittenBlueGreenRed();
    void thinLinesCoverOnePixelRow();
    void penStateStaysForLaterLines();
    void lineToStartsWhereTheLastLineEnded();
    void ellipseIsOutlinedWithThePenAndFilledWithTheBrush_data();
    void ellipseIsOutlinedWithThePenAndFilledWithTheBrush();
    void copyRectCopiesPixelsExactly();
    void textLiesBelowAndRightOfItsOrigin();
    void clearBrushShowsThePictureBetweenLetters();
    void solidBrushFillsTheTextCell();
    void emptyTextTouchesNothing();
    void textAtThreeTimesTheScaleIsDrawnAtThatSize();
    void reportedAreasHoldEveryChangedPixel_data();
    void reportedAreasHoldEveryChangedPixel();
};

void TestCanvas::penColoursAreWrittenBlueGreenRed_data()
{
    QTest::addColumn<uint>("bgr");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("red") << 0x0000FFu << QColor(255, 0, 0);
    QTest::newRow("yellow") << 0x00FFFFu << QColor(255, 255, 0);
    QTest::newRow("blue") << 0xFF0000u << QColor(0, 0, 255);
    QTest::newRow("grey") << 0x808080u << QColor(128, 128, 128);
    QTest::newRow("mixed") << 0x123456u << QColor(0x56, 0x34, 0x12);
}

void TestCanvas::penColoursAreWrittenBlueGreenRed()
{
    QFETCH(uint, bgr);
    QFETCH(QColor, expected);
    Bitmap bitmap;
    bitmap.setSize(60, 40);
    bitmap.canvas().setPenColour(bgr);
    bitmap.canvas().moveTo(10, 20);
    bitmap.canvas().lineTo(50, 20);
    QCOMPARE(QColor(pixelAt(bitmap.image(), 30, 20)), expected);
}

void TestCanvas::thinLinesCoverOnePixelRow()
{
    Bitmap bitmap;
    bitmap.setSize(60, 40);
    bitmap.canvas().setPenColour(0xFFFFFF);
    bitmap.canvas().moveTo(10, 20);
    bitmap.canvas().lineTo(50, 20);
    for (int x = 12; x <= 48; ++x) {
        QCOMPARE(pixelAt(bitmap.image(), x, 19), Black);
        QCOMPARE(pixelAt(bitmap.image(), x, 20), qRgb(255, 255, 255));
        QCOMPARE(pixelAt(bitmap.image(), x, 21), Black);
    }
}

void TestCanvas::penStateStaysForLaterLines()
{
    Bitmap bitmap;
    bitmap.setSize(60, 60);
    Canvas &canvas = bitmap.canvas();
    canvas.setPenWidth(3);
    canvas.setPenColour(0x00FFFF);
    canvas.moveTo(10, 5);
    canvas.lineTo(10, 55);
    canvas.moveTo(40, 5);
    canvas.lineTo(40, 55);
    for (const int x : {10, 40}) {
        QCOMPARE(pixelAt(bitmap.image(), x - 2, 30), Black);
        for (int column = x - 1; column <= x + 1; ++column)
            QCOMPARE(pixelAt(bitmap.image(), column, 30), qRgb(255, 255, 0));
        QCOMPARE(pixelAt(bitmap.image(), x + 2, 30), Black);
    }
}

void TestCanvas::lineToStartsWhereTheLastLineEnded()
{
    Bitmap bitmap;
    bitmap.setSize(60, 60);
    Canvas &canvas = bitmap.canvas();
    canvas.setPenColour(0xFFFFFF);
    canvas.moveTo(10, 10);
    canvas.lineTo(40, 10);
    QCOMPARE(canvas.penPosition(), PicturePoint(40, 10));
    canvas.lineTo(40, 50);
    QCOMPARE(pixelAt(bitmap.image(), 40, 30), qRgb(255, 255, 255));
    QCOMPARE(pixelAt(bitmap.image(), 10, 30), Black);
}

void TestCanvas::ellipseIsOutlinedWithThePenAndFilledWithTheBrush_data()
{
    QTest::addColumn<bool>("solidBrush");
    QTest::addColumn<uint>("inside");
    QTest::newRow("solid brush") << true << uint(qRgb(0, 0, 255));
    QTest::newRow("clear brush") << false << uint(Black);
}

void TestCanvas::ellipseIsOutlinedWithThePenAndFilledWithTheBrush()
{
    QFETCH(bool, solidBrush);
    QFETCH(uint, inside);
    Bitmap bitmap;
    bitmap.setSize(80, 80);
    Canvas &canvas = bitmap.canvas();
    canvas.setPenColour(0x0000FF);
    canvas.setPenWidth(3);
    canvas.setBrushStyle(solidBrush ? BrushStyle::Solid : BrushStyle::Clear);
    canvas.setBrushColour(0xFF0000);
    canvas.ellipse(20, 20, 60, 60);
    QCOMPARE(pixelAt(bitmap.image(), 40, 40), QRgb(inside));
    for (const QPoint &edge : {QPoint(20, 40), QPoint(60, 40), QPoint(40, 20), QPoint(40, 60)})
        QCOMPARE(pixelAt(bitmap.image(), edge.x(), edge.y()), qRgb(255, 0, 0));
    QCOMPARE(pixelAt(bitmap.image(), 15, 15), Black);
}

void TestCanvas::copyRectCopiesPixelsExactly()
{
    QImage source = StripedPicture(50, 50);
    Canvas sourceCanvas(source);
    Bitmap target;
    target.setSize(100, 100);
    target.canvas().copyRect(PictureRect(30, 40, 20, 10), sourceCanvas, PictureRect(5, 7, 20, 10));
    QCOMPARE(target.image().copy(30, 40, 20, 10), source.copy(5, 7, 20, 10));
    QImage untouched(100, 100, QImage::Format_RGB32);
    untouched.fill(Qt::black);
    QCOMPARE(DifferingArea(target.image(), untouched, target.image().rect()), QRect(30, 40, 20, 10));
}

void TestCanvas::textLiesBelowAndRightOfItsOrigin()
{
    Bitmap bitmap;
    bitmap.setSize(400, 120);
    Canvas &canvas = bitmap.canvas();
    useWhiteText(canvas, BrushStyle::Clear);
    const QImage before = bitmap.image().copy();
    const QString text = QStringLiteral("QXVRT");
    canvas.textOut(30, 20, text);
    const QRect ink = DifferingArea(before, bitmap.image(), before.rect());
    QVERIFY(!ink.isEmpty());
    const QRect cell(30, 20, canvas.textWidth(text), canvas.textHeight(text));
    QVERIFY2(cell.adjusted(-2, 0, 2, 0).contains(ink), "the letters stay in their cell");
    QVERIFY2(ink.left() <= cell.left() + 6 && ink.top() <= cell.top() + cell.height() / 3,
             "the letters start at the origin");
}

void TestCanvas::clearBrushShowsThePictureBetweenLetters()
{
    QImage picture = StripedPicture(400, 120);
    const QImage before = picture.copy();
    Canvas canvas(picture);
    useWhiteText(canvas, BrushStyle::Clear);
    canvas.textOut(30, 20, QStringLiteral("I I"));
    // Between the two letters the picture stays as it was.
    const int between = 30 + canvas.textWidth(QStringLiteral("I ")) - 4;
    QCOMPARE(picture.pixel(between, 40), before.pixel(between, 40));
    QVERIFY(picture != before);
}

void TestCanvas::solidBrushFillsTheTextCell()
{
    Bitmap bitmap;
    bitmap.setSize(400, 120);
    Canvas &canvas = bitmap.canvas();
    useWhiteText(canvas, BrushStyle::Solid);
    canvas.setBrushColour(0xFF0000);
    canvas.textOut(30, 20, QStringLiteral("I I"));
    QCOMPARE(pixelAt(bitmap.image(), 30, 20), qRgb(0, 0, 255));
    const int right = 30 + canvas.textWidth(QStringLiteral("I I")) - 1;
    const int bottom = 20 + canvas.textHeight(QStringLiteral("I I")) - 1;
    QCOMPARE(pixelAt(bitmap.image(), right, bottom), qRgb(0, 0, 255));
    QCOMPARE(pixelAt(bitmap.image(), right + 1, bottom + 1), Black);
}

void TestCanvas::emptyTextTouchesNothing()
{
    QImage picture = StripedPicture(200, 100);
    const QImage before = picture.copy();
    Canvas canvas(picture);
    int reports = 0;
    canvas.setChangeListener([&reports](const DrawnRect &) { ++reports; });
    canvas.setBrushStyle(BrushStyle::Solid);
    canvas.textOut(10, 10, QString());
    QCOMPARE(picture, before);
    QCOMPARE(reports, 0);
    QCOMPARE(canvas.textArea(10, 10, QString()), PictureRect());
}

// The text keeps its place and size in the picture, and is drawn with a font three times the
// size rather than stretched: as sharp as text drawn directly at that size.
void TestCanvas::textAtThreeTimesTheScaleIsDrawnAtThatSize()
{
    const QString text = QStringLiteral("QX\u00D8VRT");
    auto drawnAt = [&text](double scale) {
        QImage picture(QSize(400, 100) * scale, QImage::Format_RGB32);
        picture.fill(Qt::black);
        Canvas canvas(picture);
        canvas.setMapping(scale);
        useWhiteText(canvas, BrushStyle::Clear);
        canvas.textOut(30, 10, text);
        return picture;
    };
    QImage reference(1200, 300, QImage::Format_RGB32);
    reference.fill(Qt::black);
    {
        QPainter painter(&reference);
        QFont font;
        font.setFamilies({QStringLiteral("Sans Serif"), QStringLiteral("DejaVu Sans")});
        font.setPixelSize(qRound(40 * 96 / 72.0 * 3));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPoint(90, 30 + QFontMetrics(font).ascent()), text);
    }
    const QImage large = drawnAt(3);
    QVERIFY(edgeSoftness(large) > 0);
    QVERIFY2(differingPixels(large, reference, 24) < 50, "the letters lie where the reference has them");
    QVERIFY2(edgeSoftness(large) < 0.6 * edgeSoftness(stretched(drawnAt(1), 3)), "sharper than stretched");
}

void TestCanvas::reportedAreasHoldEveryChangedPixel_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<double>("scale");
    const char *const names[] = {"thin line", "thick slanted line", "ellipse",
                                 "text",      "rectangle copy",     "restore under a sprite"};
    for (const double scale : {1.0, 2.5})
        for (int operation = 0; operation < 6; ++operation)
            QTest::addRow("%s at scale %g", names[operation], scale) << operation << scale;
}

void TestCanvas::reportedAreasHoldEveryChangedPixel()
{
    QFETCH(int, operation);
    QFETCH(double, scale);
    QImage picture = StripedPicture(int(300 * scale), int(200 * scale));
    const QImage before = picture.copy();
    QImage source = StripedPicture(int(50 * scale), int(50 * scale)).mirrored();
    Canvas sourceCanvas(source);
    sourceCanvas.setMapping(scale);
    Canvas canvas(picture);
    canvas.setMapping(scale);
    QRegion reported;
    canvas.setChangeListener([&reported](const DrawnRect &area) { reported += area.qt(); });
    canvas.setPenColour(0x00FFFF);
    canvas.setFontColour(0xFFFFFF);
    canvas.setFontSize(40);
    canvas.setBrushStyle(BrushStyle::Clear);
    switch (operation) {
    case 0:
        canvas.moveTo(20, 30);
        canvas.lineTo(120, 30);
        break;
    case 1:
        canvas.setPenWidth(3);
        canvas.moveTo(150, 100);
        canvas.lineTo(93, 57);
        break;
    case 2:
        canvas.setPenWidth(3);
        canvas.setBrushStyle(BrushStyle::Solid);
        canvas.ellipse(100, 100, 104, 104);
        break;
    case 3:
        canvas.textOut(40, 50, QStringLiteral("Q\u00D8jy"));
        break;
    case 4:
        canvas.copyRect(PictureRect(60, 70, 40, 30), sourceCanvas, PictureRect(0, 0, 40, 30));
        break;
    case 5: {
        QImage clean = StripedPicture(picture.width(), picture.height()).mirrored();
        Canvas cleanCanvas(clean);
        cleanCanvas.setMapping(scale);
        const Sprite hand(canvas, PictureRect(90, 50, 65, 55), [](Canvas &layer) {
            layer.setPenWidth(3);
            layer.setPenColour(0x00FFFF);
            layer.moveTo(150, 100);
            layer.lineTo(93, 57);
        });
        const Sprite *sprites[] = {&hand};
        canvas.restore(DrawnRect(100, 60, 40, 30), cleanCanvas, sprites);
        break;
    }
    }
    const QRect changed = DifferingArea(before, picture, picture.rect());
    QVERIFY(!changed.isEmpty());
    QVERIFY2((QRegion(changed) - reported).isEmpty(), "every changed pixel lies in a reported area");
    QVERIFY2(reported.boundingRect().width() <= changed.width() + 12 * scale, "the report stays close to the change");
}

QTEST_MAIN(TestCanvas)
#include "test_canvas.moc"
