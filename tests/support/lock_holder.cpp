#include "lock_holder.h"

#include "support/unprivileged_user.h"

#include <QtGlobal>

#include <sys/wait.h>
#include <unistd.h>

LockHolder::LockHolder(const QString &path, InstanceLock::Kind kind, User user)
{
    int toChild[2];
    int fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0)
        qFatal("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(toChild[1]);
        if (user == User::Unprivileged && RunningAsRoot() && !BecomeNobody())
            ::_exit(2);
        InstanceLock lock;
        const char outcome = char(lock.acquire(path, kind));
        char go = 0;
        const bool told = ::write(fromChild[1], &outcome, 1) == 1 && ::read(toChild[0], &go, 1) == 1;
        const char released = told && lock.release();
        ::_exit(::write(fromChild[1], &released, 1) == 1 ? 0 : 1);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    go_ = toChild[1];
    answers_ = fromChild[0];
    char outcome = -1;
    if (::read(answers_, &outcome, 1) != 1)
        qFatal("holder died");
    outcome_ = InstanceLock::Outcome(outcome);
}

void LockHolder::letGo()
{
    const char go = 1;
    if (go_ >= 0 && ::write(go_, &go, 1) != 1)
        qFatal("holder gone");
    ::close(go_);
    go_ = -1;
}

bool LockHolder::release()
{
    letGo();
    if (pid_ <= 0)
        return released_;
    char released = 0;
    released_ = ::read(answers_, &released, 1) == 1 && released;
    ::close(answers_);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return released_;
}
