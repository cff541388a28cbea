#pragma once

#include <QString>

// Keeps a second copy of the program from running. The lock file exists exactly while a copy
// runs, and that copy holds an exclusive flock on it: a file left behind by a copy that died
// holds no lock and is simply taken over.
class InstanceLock
{
public:
    enum class Outcome { Acquired, HeldElsewhere, Failed };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    Outcome acquire(const QString &path);
    // Deletes the file and drops the lock. Returns false (with errorString set) on failure.
    bool release();
    QString errorString() const { return error_; }

private:
    QString path_;
    QString error_;
    int fd_ = -1;
};
