#include "support/ChildProcess.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/profile.h"

std::string InChildProcess(const std::function<std::string()>& body, bool asNobody) {
    int fds[2];
    if (pipe(fds) != 0) return "child failed";
    // Both sides drop their parsed copies: the other changes the files behind them.
    kivo::profile::ClearCache();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        alarm(10);
        if (asNobody &&
            (setgroups(0, nullptr) != 0 || setgid(kNobodyId) != 0 || setuid(kNobodyId) != 0))
            _exit(2);
        const std::string out = body();
        _exit(write(fds[1], out.data(), out.size()) == ssize_t(out.size()) ? 0 : 3);
    }
    close(fds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, std::size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    kivo::profile::ClearCache();
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return "child hung";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "child failed";
}

std::string ClosedToOthers(const std::string& path) {
    namespace fs = std::filesystem;
    if (geteuid() != 0) return "this process is not root: it cannot act as another user";
    for (fs::path p = fs::path(path).parent_path(); p != p.root_path(); p = p.parent_path())
        if ((fs::status(p).permissions() & fs::perms::others_exec) == fs::perms::none)
            return p.string() + " cannot be passed by another user";
    return {};
}
