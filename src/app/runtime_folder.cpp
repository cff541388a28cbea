#include "runtime_folder.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

namespace {

// The folder this run made, empty while there is none.
QByteArray madeFolder;

void removeMadeFolder()
{
    if (madeFolder.isEmpty())
        return;
    QDir(QFile::decodeName(madeFolder)).removeRecursively();
    madeFolder.clear();
}

} // namespace

PrivateRuntimeFolder::PrivateRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    // mkdtemp makes it with mode 0700 under a name nobody can take first. Without it Qt falls
    // back to a folder of its own, with its warning.
    QByteArray folder = QFile::encodeName(QDir::tempPath()) + "/clocksaver-runtime-XXXXXX";
    if (!::mkdtemp(folder.data()))
        return;
    madeFolder = folder;
    std::atexit(removeMadeFolder);
    qputenv("XDG_RUNTIME_DIR", folder);
}

PrivateRuntimeFolder::~PrivateRuntimeFolder()
{
    removeMadeFolder();
}
