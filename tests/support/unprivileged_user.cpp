#include "unprivileged_user.h"

#include <QProcessEnvironment>

#include <unistd.h>

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

void startUnprivileged(QProcess &process, const QString &program, const QStringList &arguments)
{
    if (!RunningAsRoot()) {
        process.start(program, arguments);
        return;
    }
    QStringList command{QStringLiteral("--reuid=%1").arg(NobodyId), QStringLiteral("--regid=%1").arg(NobodyId),
                        QStringLiteral("--clear-groups"), QStringLiteral("env")};
    // A preloaded library (libfaketime) is for the program: loaded into setpriv, it would set up
    // state as root that the program, as nobody, may not use.
    QProcessEnvironment environment = process.processEnvironment();
    if (environment.contains(QStringLiteral("LD_PRELOAD"))) {
        command << QStringLiteral("LD_PRELOAD=") + environment.value(QStringLiteral("LD_PRELOAD"));
        environment.remove(QStringLiteral("LD_PRELOAD"));
        process.setProcessEnvironment(environment);
    }
    process.start(QStringLiteral("setpriv"), command << program << arguments);
}

bool BecomeNobody()
{
    return ::setgid(NobodyId) == 0 && ::setuid(NobodyId) == 0;
}
