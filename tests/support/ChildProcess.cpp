#include "support/ChildProcess.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/profile.h"

std::string InChildProcess(const std::function<std::string()>& body, bool asNobody,
                           unsigned seconds) {
    int fds[2];
    if (pipe(fds) != 0) return "child failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        alarm(seconds);
        kivo::profile::ClearCache();
        if (asNobody &&
            (setgroups(0, nullptr) != 0 || setgid(kNobodyId) != 0 || setuid(kNobodyId) != 0))
            _exit(2);
        const std::string out = body();
        const bool sent = write(fds[1], out.data(), out.size()) == ssize_t(out.size());
        _exit(sent ? 0 : 3);
    }
    close(fds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    // The child changed files behind this process's parsed copies.
    kivo::profile::ClearCache();
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return "child hung";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "child failed";
}

std::string ClosedToOthers(const std::string& path) {
    namespace fs = std::filesystem;
    if (geteuid() != 0) return "this process is not root: it cannot act as another user";
    for (fs::path p = fs::path(path).parent_path(); p != p.root_path(); p = p.parent_path()) {
        struct stat st {};
        if (stat(p.c_str(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return p.string() + " cannot be passed by another user";
    }
    return {};
}
