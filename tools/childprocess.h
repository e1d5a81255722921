#pragma once

#include <QProcess>
#include <QStringList>

#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

// Child processes of the tests and the demo driver (servers, Brellow, desktop
// helpers, tools) must not outlive the process that started them, even when
// that one crashes or is killed on a time-out.
namespace ChildProcess {

// The kernel kills the child with SIGKILL when this process ends. Call before start().
inline void dieWithParent(QProcess &process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        // In the child, between fork and exec; the death signal survives the exec.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The parent may have ended before the line above took effect.
        if (::getppid() != parent)
            ::_exit(127);
    });
}

// QProcess::execute() with a child that dies with this process.
inline int execute(const QString &program, const QStringList &arguments)
{
    QProcess process;
    dieWithParent(process);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(-1))
        return -2;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace ChildProcess
