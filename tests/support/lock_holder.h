#pragma once

#include "app/instance_lock.h"

#include <QString>

#include <sys/types.h>

// The lock taken in a child process, as another copy of the program would hold it, until
// released from here.
class LockHolder
{
public:
    enum class User { Same, Unprivileged };

    LockHolder(const QString &path, InstanceLock::Kind kind, User user = User::Same);
    ~LockHolder() { release(); }
    LockHolder(const LockHolder &) = delete;
    LockHolder &operator=(const LockHolder &) = delete;

    // What the child's attempt to take the lock came to.
    InstanceLock::Outcome outcome() const { return outcome_; }
    // Lets go without waiting, so several holders can leave at the same moment. A byte, not
    // the end of the pipe: children forked later hold copies of its writing end.
    void letGo();
    // Lets go and waits for the child; says whether it released the lock.
    bool release();

private:
    pid_t pid_ = -1;
    int go_ = -1;
    int answers_ = -1;
    InstanceLock::Outcome outcome_ = InstanceLock::Outcome::Failed;
    bool released_ = false;
};
