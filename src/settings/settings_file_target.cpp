#include "settings_file_target.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <unistd.h>

namespace {

// As many links in a row as the kernel follows before it gives up with ELOOP.
constexpr int MaxLinksFollowed = 40;

QByteArray linkText(const QByteArray &link)
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(link.constData(), buffer, sizeof buffer);
    if (length == ssize_t{sizeof buffer})
        errno = ENAMETOOLONG;
    return length < 0 || length == ssize_t{sizeof buffer} ? QByteArray() : QByteArray(buffer, length);
}

// A relative link is read from the folder the link is in.
QByteArray resolve(const QByteArray &link, const QByteArray &text)
{
    if (text.startsWith('/'))
        return text;
    const qsizetype slash = link.lastIndexOf('/');
    return slash < 0 ? text : link.left(slash + 1) + text;
}

} // namespace

bool IsTrustedOwner(uid_t owner)
{
    return owner == ::geteuid() || owner == 0;
}

SettingsFileTarget FindSettingsFileTarget(const QString &path)
{
    SettingsFileTarget target;
    target.path = QFile::encodeName(path);
    for (int hop = 0; hop <= MaxLinksFollowed; ++hop) {
        if (::lstat(target.path.constData(), &target.info) != 0) {
            target.error = errno == ENOENT ? 0 : errno;
            return target;
        }
        if (!IsTrustedOwner(target.info.st_uid)) {
            target.untrusted = true;
            return target;
        }
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return target;
        }
        const QByteArray text = linkText(target.path);
        if (text.isEmpty()) {
            target.error = errno;
            return target;
        }
        target.path = resolve(target.path, text);
    }
    target.error = ELOOP;
    return target;
}
