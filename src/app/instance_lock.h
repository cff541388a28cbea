#pragma once

#include <QString>

#include <optional>

// Decides which copies of the program may run side by side. The lock file exists exactly while
// at least one copy runs, and every running copy holds an flock on it: a file left behind by a
// copy that died holds no lock and is simply taken over. The last copy to leave deletes it.
class InstanceLock
{
public:
    enum class Kind {
        // Runs alone: the full-screen clocks.
        FullScreen,
        // Runs beside other shared holders and a dialog: the clocks in a host's window (the host
        // decides how many run) and runs without a form.
        Shared,
        // Runs beside shared holders, but as the only dialog.
        Dialog,
    };
    enum class Outcome { Acquired, HeldElsewhere, Failed };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    Outcome acquire(const QString &path, Kind kind);
    // Drops the lock, deleting the file when no other copy holds it. Safe to call twice. Returns
    // false (with errorString set) on failure.
    bool release();
    QString errorString() const { return error_; }
    // Whether the last failure was that the folder does not let us make or replace the file.
    bool placeNotWritable() const;

private:
    // Sets errorString from errno unless a reason is given; a busy lock is HeldElsewhere.
    Outcome fail(const char *what, const char *reason = nullptr);
    std::optional<Outcome> lockOpenFile(int fd, Kind kind);
    std::optional<Outcome> takeOverUnwritable();

    QString path_;
    QByteArray nativePath_;
    QString error_;
    int failedErrno_ = 0;
    int fd_ = -1;
};
