#pragma once
// Where a settings path leads, shared by the reader and the writer so both trust the same files.

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// A settings file, and every symbolic link leading to it, must belong to the user running the
// program or to root (only root can make a file root's). Anyone else could point the program at
// a file it should not read or, run as root, make it replace that user's file.
bool IsTrustedOwner(uid_t owner);

struct SettingsFileTarget
{
    QByteArray path;     // the path with its symbolic links followed
    bool exists = false; // something is at path; info holds its lstat
    struct stat info = {};
    bool untrusted = false; // a link on the way or the file itself belongs to someone else
    int error = 0;          // errno when the way could not be followed
};

// Follows the symbolic links at the path itself (not those in its folders) one by one, checking
// each link's owner and the owner of what they lead to.
SettingsFileTarget FindSettingsFileTarget(const QString &path);
