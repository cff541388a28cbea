#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QSize>
#include <QString>

#include <memory>

class QWindow;

// The window a screen-saver host (XScreenSaver) made for the program to draw in, named by the
// environment variable XSCREENSAVER_WINDOW as an X window id, hex (0x400008) or decimal. The
// host owns it: it may resize it, and it takes it away once the program should be gone.
// Qt windows put inside it go when this object goes, so forms shown in it must go first.
class HostWindow : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    // Whether the environment names a host window at all.
    static bool isNamed();

    HostWindow();
    ~HostWindow() override;

    // Looks the named window up on the X server; false, with errorString() saying why, when
    // the name is no window id, no such window exists, or the program does not run on X.
    bool open();
    QString errorString() const { return error_; }

    // Valid once open() succeeded.
    QWindow *window() const { return window_.get(); }
    // The part of the window, from its top-left corner, that the program draws in: all of it up
    // to 8K (7680x4320); beyond, the host's own background shows around the clocks, so a huge
    // window costs no more memory and drawing than an 8K screen.
    QSize size() const { return size_; }
    static constexpr QSize MaxDrawnSize{7680, 4320};

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void resized(const QSize &size);
    void vanished();

private:
    bool fail(const QString &error);

    quint32 id_ = 0;
    QSize size_;
    QString error_;
    std::unique_ptr<QWindow> window_;
};
