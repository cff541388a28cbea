#include "runtime_folder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder this run made for itself alone, empty while there is none.
QByteArray madeFolder;

void removeMadeFolder()
{
    if (madeFolder.isEmpty())
        return;
    QDir(QFile::decodeName(madeFolder)).removeRecursively();
    madeFolder.clear();
}

// The user's folder for every run, clocksaver-runtime-UID in the temporary folder, made when
// missing. Only a real folder of the user's own that nobody else may enter will do: a link, or
// a folder someone else made first, could hand Qt's files to them.
bool useSharedFolder(const QByteArray &folder)
{
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info = {};
    return ::lstat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
           && (info.st_mode & 077) == 0;
}

} // namespace

PrivateRuntimeFolder::PrivateRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray temp = QFile::encodeName(QDir::tempPath());
    const QByteArray shared = temp + "/clocksaver-runtime-" + QByteArray::number(::geteuid());
    if (useSharedFolder(shared)) {
        qputenv("XDG_RUNTIME_DIR", shared);
        return;
    }
    // mkdtemp makes it with mode 0700 under a name nobody can take first. Without it Qt falls
    // back to a folder of its own, with its warning.
    QByteArray folder = temp + "/clocksaver-runtime-XXXXXX";
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
