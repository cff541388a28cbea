#include "compositor_loss.h"

#include "app/failure_report.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdlib>
#include <unistd.h>

namespace {

QtMessageHandler previousHandler = nullptr;
void (*cleanUpOnLoss)() = nullptr;

// Qt's words for a broken connection ("... broke. Did the Wayland compositor die?" and "...
// experienced a fatal error: ..."), each followed by its _exit(1).
bool saysTheConnectionBroke(const QString &message)
{
    return message.startsWith(QLatin1String("The Wayland connection"));
}

void onQtMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!saysTheConnectionBroke(message)) {
        previousHandler(type, context, message);
        return;
    }
    // Qt's thread that reads from the compositor and the GUI thread may both find the connection
    // broken: the first cleans up and ends the process, the other waits for that end. The
    // clean-up touches only files.
    static std::atomic_flag ending = ATOMIC_FLAG_INIT;
    if (ending.test_and_set())
        AwaitEndByCompositorLoss();
    cleanUpOnLoss();
    ReportFailure(QStringLiteral("the Wayland compositor has gone away"));
    std::_Exit(1);
}

} // namespace

void AwaitEndByCompositorLoss()
{
    for (;;)
        ::pause();
}

void OnCompositorLost(void (*cleanUp)())
{
    cleanUpOnLoss = cleanUp;
    previousHandler = qInstallMessageHandler(onQtMessage);
}
