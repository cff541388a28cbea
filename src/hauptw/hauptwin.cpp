#include "hauptwin.h"

#include "hauptw/built_in_pictures.h"
#include "hauptw/clock_hands.h"
#include "hauptw/picture_fit.h"
#include "hauptw/screen_text.h"
#include "settings/settings_file.h"

THauptwin::THauptwin(HostWindow *host) : FullScreenForm(host)
{
    setWindowTitle(QStringLiteral("Hauptwin"));
    bild = new ImageControl(this);
    bild->setGeometry(0, 0, 800, 514);
    bild->setPicture(BackgroundPicture());
    TimerUhr = new QTimer(this);
    TimerUhr->setInterval(300);

    connect(this, &FullScreenForm::resized, this, &THauptwin::FormResize);
    connect(this, &FullScreenForm::shown, this, &THauptwin::FormShow);
    connect(this, &FullScreenForm::painted, this, &THauptwin::FormPaint);
    connect(this, &FullScreenForm::keyPressed, this, &THauptwin::FormKeyDown);
    connect(bild, &ImageControl::mouseMoved, this, &THauptwin::bildMouseMove);
    // The picture keeps its shape, so wide screens have wide black bands beside it; movement
    // there, or on another screen, wakes the user's desktop just the same.
    connect(this, &FullScreenForm::mouseMoved, this, &THauptwin::bildMouseMove);
    connect(TimerUhr, &QTimer::timeout, this, &THauptwin::TimerUhrTimer);
    TimerUhr->start();
    FormCreate();
}

void THauptwin::FormCreate()
{
    LocalPatch = std::make_unique<Bitmap>();
    UtcPatch = std::make_unique<Bitmap>();
    TextPatch = std::make_unique<Bitmap>();
    ScreenText = ReadSettings();
}

void THauptwin::FormResize()
{
    bild->setGeometry(FitPictureInside(size(), bild->picture().size()));
    ClockHeight = 190;
    ClockWidth = 190;
    LocalClockTop = 528;
    UtcClockTop = 528;
    LocalClockLeft = 531;
    UtcClockLeft = 787;
    TextPlacement = TopCentre;
    // Layout is in picture pixels, the same on every screen; only the first capture is sure to
    // see the picture without hands, so a later resize keeps it.
    if (PatchesReady)
        return;
    capture(*LocalPatch, patchArea(localSquare()));
    capture(*UtcPatch, patchArea(utcSquare()));
    const QString text = QString::fromLatin1(WithSlashedZeros(ScreenText));
    if (const std::optional<QPoint> origin = placeScreenText(text))
        TextArea = bild->canvas().textArea(origin->x(), origin->y(), text);
    capture(*TextPatch, TextArea);
    PatchesReady = true;
}

// Hands end on the square's edge at 0 and 30 seconds, and their round ends and soft edges reach
// a little beyond it: the patches take that in, so erasing leaves no trace.
QRect THauptwin::patchArea(const QRect &square)
{
    return square.adjusted(-HandOverhang, -HandOverhang, HandOverhang, HandOverhang);
}

void THauptwin::capture(Bitmap &patch, const QRect &pictureArea)
{
    patch.setSize(pictureArea.width(), pictureArea.height());
    patch.canvas().copyRect(QRect(QPoint(0, 0), pictureArea.size()), bild->canvas(), pictureArea);
}

void THauptwin::FormShow()
{
    TimerUhrTimer();
}

void THauptwin::FormPaint()
{
    TimerUhrTimer();
}

void THauptwin::TimerUhrTimer()
{
    PaintBoxSekundePaint();
    if (TickCount < GraceTicks)
        ++TickCount;
}

void THauptwin::FormKeyDown()
{
    close();
}

void THauptwin::bildMouseMove()
{
    if (TickCount != GraceTicks)
        return;
    TimerUhr->stop();
    close();
}
