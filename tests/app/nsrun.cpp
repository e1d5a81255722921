// Test helper, run inside a fresh network and mount namespace (unshare -n -m):
// puts the given files over /etc/resolv.conf and /etc/hosts, brings loopback up,
// optionally holds 127.0.0.1:53 with a resolver that never answers, then runs the
// program and passes on its exit code and the terminating signals it is sent;
// the program is killed when nsrun dies.
//
//   nsrun --resolv FILE --hosts FILE [--silent-dns] -- PROGRAM ARGS...

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

pid_t child = -1;

extern "C" void forward(int signalNumber)
{
    if (child > 0)
        ::kill(child, signalNumber);
}

bool bindOver(const char *file, const char *target)
{
    if (::mount(file, target, nullptr, MS_BIND, nullptr) == 0)
        return true;
    std::perror(target);
    return false;
}

bool loopbackUp()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request = {};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    const bool ok = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0 &&
                    (request.ifr_flags |= IFF_UP, ::ioctl(fd, SIOCSIFFLAGS, &request) == 0);
    if (!ok)
        std::perror("lo");
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// Bound and never read: queries queue up unanswered, and no "port unreachable"
// tells the resolver to give up early.
bool holdSilentResolver()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        std::perror("127.0.0.1:53");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    int i = 1;
    for (; i < argc && std::string(argv[i]) != "--"; ++i) {
        const std::string option = argv[i];
        if (option == "--resolv" && i + 1 < argc) {
            if (!bindOver(argv[++i], "/etc/resolv.conf"))
                return 125;
        } else if (option == "--hosts" && i + 1 < argc) {
            if (!bindOver(argv[++i], "/etc/hosts"))
                return 125;
        } else if (option == "--silent-dns") {
            if (!holdSilentResolver())
                return 125;
        } else {
            std::fprintf(stderr, "nsrun: unknown option %s\n", option.c_str());
            return 125;
        }
    }
    if (i + 1 >= argc || !loopbackUp())
        return 125;

    struct sigaction action = {};
    action.sa_handler = forward;
    sigemptyset(&action.sa_mask);
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);

    const pid_t self = ::getpid();
    child = ::fork();
    if (child < 0)
        return 125;
    if (child == 0) {
        // The program ends with nsrun, as nsrun ends with the test that runs it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != self)
            ::_exit(127);
        ::execvp(argv[i + 1], argv + i + 1);
        std::perror(argv[i + 1]);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return 125;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
