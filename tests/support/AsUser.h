#pragma once
// Work done as another user: a child process drops its groups and ids, runs the work and sends
// back the text it returns. Needs root.

#include <grp.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/profile.h"

inline constexpr uid_t kNobody = 65534;

// Why another user cannot work in `folder` (a test's own folder, which mkdtemp makes 0700 and
// which is opened to others here): the folder above it that others may not pass, or the empty
// text. Root alone can let another user have files.
inline std::string ClosedToOthers(const std::string& folder) {
    if (geteuid() != 0) return "this process is not root";
    chmod(folder.c_str(), 0711);
    for (std::filesystem::path p = std::filesystem::path(folder).parent_path(); p != p.root_path();
         p = p.parent_path()) {
        struct stat st {};
        if (stat(p.c_str(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return p.string() + " cannot be passed by another user";
    }
    return {};
}

struct ChildRun {
    bool ok = false;  // the child dropped its ids, ran the work and sent its text
    std::string out;
};

inline ChildRun RunAsUser(uid_t user, const std::function<std::string()>& work) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        kivo::profile::ClearCache();
        if (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0) _exit(2);
        const std::string out = work();
        const bool sent = write(fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
        _exit(sent ? 0 : 3);
    }
    close(fds[1]);
    ChildRun run;
    char buf[512];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        run.out.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    // The child changed files behind this process's parsed copies.
    kivo::profile::ClearCache();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}
