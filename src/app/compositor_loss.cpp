#include "compositor_loss.h"

#include "app/failure_report.h"

#include <QString>
#include <QtGlobal>

#include <cstdlib>

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
    // Runs on Qt's thread that reads from the compositor, while the GUI thread may be anywhere:
    // the clean-up touches only files, and the process ends before anything else happens.
    cleanUpOnLoss();
    ReportFailure(QStringLiteral("the Wayland compositor has gone away"));
    std::_Exit(1);
}

} // namespace

void OnCompositorLost(void (*cleanUp)())
{
    cleanUpOnLoss = cleanUp;
    previousHandler = qInstallMessageHandler(onQtMessage);
}
