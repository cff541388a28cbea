#pragma once

#include <sys/wait.h>
#include <unistd.h>

// Runs the body in a child process and returns its exit code, or 128 + the signal that ended
// it: for limits, identities and alarms that must not touch the test process itself.
template<typename Body>
int inChild(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
