#include "platform/atomicfile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/capability.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#endif

#include "platform/asciicase.h"

namespace kivo::platform {

namespace {

std::atomic<unsigned> g_tempCounter{0};

// This machine's name as temporary names carry it: never empty, no '/'. A folder shared over
// the network holds the temporary files of other machines' saves, whose processes cannot be
// asked from here.
const std::string& HostName() {
    static const std::string host = [] {
        char buf[256] = {};
        if (::gethostname(buf, sizeof buf - 1) != 0 || buf[0] == '\0')
            return std::string("localhost");
        std::string name = buf;
        std::replace(name.begin(), name.end(), '/', '_');
        return name;
    }();
    return host;
}

// A temporary name next to `target` that no other writer uses.
std::string TempName(const std::string& target) {
    return DirectoryOf(target) + "/." + LastComponent(target) + ".kivo-" + HostName() + "-" +
           std::to_string(::getpid()) + "-" + std::to_string(g_tempCounter.fetch_add(1));
}

// Opens a fresh temporary file next to `target`; -1 with errno set on failure.
int OpenTemp(const std::string& target, mode_t createMode, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = TempName(target);
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// The file that renaming a new file over `path` replaces: the one a symbolic link points to.
std::string RenameTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string target = real;
            std::free(real);
            return target;
        }
    }
    return path;
}

struct Flags {
    bool immutable = false;
    bool appendOnly = false;
};

// The immutable and append-only flags of a file or folder; none where they cannot be asked.
Flags FlagsOf(const std::string& path) {
    Flags f;
#ifdef __linux__
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return f;
    int attr = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &attr) == 0) {
        f.immutable = (attr & FS_IMMUTABLE_FL) != 0;
        f.appendOnly = (attr & FS_APPEND_FL) != 0;
    }
    ::close(fd);
#else
    (void)path;
#endif
    return f;
}

// Whether this process may remove any entry of a sticky folder (CAP_FOWNER).
bool MayActAsAnyOwner() {
#ifdef __linux__
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) == 0)
        return (data[CAP_TO_INDEX(CAP_FOWNER)].effective & CAP_TO_MASK(CAP_FOWNER)) != 0;
#endif
    return ::geteuid() == 0;
}

void SyncDirectory(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // Some file systems refuse this on directories; the rename is done either way.
    ::close(fd);
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string LastComponent(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CopyAll(int from, int to) {
    std::vector<char> buf(1 << 16);
    for (;;) {
        ssize_t n = ::read(from, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0;
        if (!WriteAll(to, buf.data(), static_cast<std::size_t>(n))) return false;
    }
}

std::string ErrorText(int err) {
    char buf[256];
    // GNU strerror_r returns the text, which may or may not live in buf.
    return ::strerror_r(err, buf, sizeof buf);
}

std::string RenameRefusal(const std::string& path) {
    const std::string target = RenameTarget(path);
    const std::string dir = DirectoryOf(target);
    const Flags folder = FlagsOf(dir);
    if (folder.immutable) return "its folder is immutable";
    // New entries may be made there, but no entry may be removed or renamed.
    if (folder.appendOnly) return "its folder is append-only";
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return {};
    if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
        const Flags file = FlagsOf(target);
        if (file.immutable) return "it is immutable";
        if (file.appendOnly) return "it is append-only";
    }
    const uid_t me = ::geteuid();
    struct stat dirSt {};
    if (st.st_uid != me && ::stat(dir.c_str(), &dirSt) == 0 && (dirSt.st_mode & S_ISVTX) &&
        dirSt.st_uid != me && !MayActAsAnyOwner())
        return "the folder has the sticky bit and this user owns neither the file nor the folder";
    return {};
}

int ReplaceSet::Stage(const std::string& path, const FillFile& fill, std::optional<mode_t> mode,
                      struct stat* written, const Expect& expect) {
    std::string target = RenameTarget(path);
    struct stat st {};
    const bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode)) return EISDIR;
    // The rename needs only the directory; whether the file itself may be written is asked of
    // the system. Its owner may always change its mode, so the read-only case is the caller's.
    if (existed && !expect.ownFile && st.st_uid != ::geteuid() &&
        ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;

    std::string temp;
    int fd = OpenTemp(target, existed || mode ? 0600 : 0666, temp);
    if (fd < 0) return errno;

    int err = 0;
    errno = 0;
    if (!fill(fd)) err = errno ? errno : EIO;
    if (!err && existed) {
        // Best effort: only a privileged process may hand the file back to another owner; a
        // member of the file's group may still keep the group.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0)
            errno = 0;
    }
    if (!err && (mode || existed)) {
        if (::fchmod(fd, mode ? *mode : (st.st_mode & 07777)) != 0) err = errno;
    }
    if (!err && ::fsync(fd) != 0) err = errno;
    if (!err && written && ::fstat(fd, written) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        return err;
    }
    // Held open, the file that the rename replaces is freed only after the last rename, so the
    // renames follow each other without the file system's work of freeing it between them.
    const int replaced = existed ? ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW) : -1;
    steps_.push_back({std::move(target), std::move(temp), expect, replaced});
    return 0;
}

void ReplaceSet::StageRemoval(const std::string& path) {
    steps_.push_back({path, {}, {}, ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)});
}

void ReplaceSet::CloseReplaced() {
    for (Step& s : steps_) {
        if (s.replaced >= 0) ::close(s.replaced);
        s.replaced = -1;
    }
}

ReplaceSet::Outcome ReplaceSet::Commit() {
    Outcome out = Refused();
    for (Step& s : steps_) {
        if (out.err) break;
        int err = 0;
        if (s.temp.empty()) {
            if (::unlink(s.target.c_str()) != 0 && errno != ENOENT) err = errno;
        } else if (::rename(s.temp.c_str(), s.target.c_str()) != 0) {
            err = errno;
        }
        if (err)
            out = {err, s.target, ErrorText(err)};
        else
            s.done = true;
    }
    CloseReplaced();
    std::vector<std::string> dirs;
    for (const Step& s : steps_) {
        std::string dir = DirectoryOf(s.target);
        if (s.done && std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
    }
    for (const std::string& dir : dirs) SyncDirectory(dir);
    return out;
}

ReplaceSet::Outcome ReplaceSet::Refused() const {
    for (const Step& s : steps_) {
        if (std::string why = RenameRefusal(s.target); !why.empty())
            return {EPERM, s.target, std::move(why)};
    }
    return {};
}

ReplaceSet::~ReplaceSet() {
    CloseReplaced();
    for (const Step& s : steps_)
        if (!s.done && !s.temp.empty()) ::unlink(s.temp.c_str());
}

int ReplaceFile(const std::string& path, const FillFile& fill, std::optional<mode_t> mode,
                struct stat* written) {
    ReplaceSet set;
    if (int err = set.Stage(path, fill, mode, written)) return err;
    return set.Commit().err;
}

namespace {

// The decimal number of `digits` as the writer prints it (no sign, no leading zero), or -1.
long long PrintedNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 18 || (digits[0] == '0' && digits.size() > 1)) return -1;
    long long n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// The process id of a name ".NAME.kivo-HOST-PID-N" made on this machine for one of `names`,
// or 0 when the name is not of that form.
pid_t TempOwner(std::string_view name, const std::vector<std::string>& names) {
    constexpr std::string_view kMark = ".kivo-";
    for (const std::string& target : names) {
        const std::size_t head = 1 + target.size() + kMark.size();
        if (name.size() <= head || name[0] != '.' ||
            !EqualsIgnoreAsciiCase(name.substr(1, target.size()), target) ||
            name.substr(1 + target.size(), kMark.size()) != kMark)
            continue;
        // Host names may hold '-': the numbers are read from the end.
        std::string_view rest = name.substr(head);
        const std::size_t counter = rest.rfind('-');
        if (counter == std::string_view::npos || PrintedNumber(rest.substr(counter + 1)) < 0)
            continue;
        rest = rest.substr(0, counter);
        const std::size_t process = rest.rfind('-');
        if (process == std::string_view::npos || rest.substr(0, process) != HostName()) continue;
        const long long pid = PrintedNumber(rest.substr(process + 1));
        if (pid > 0 && pid <= INT_MAX) return static_cast<pid_t>(pid);
    }
    return 0;
}

bool Runs(pid_t pid) {
    if (pid == ::getpid()) return true;
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

}  // namespace

int RemoveStaleTemps(const std::string& dir, const std::vector<std::string>& names) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return 0;
    std::vector<std::string> stale;
    while (dirent* e = ::readdir(d)) {
        const pid_t owner = TempOwner(e->d_name, names);
        if (owner == 0 || Runs(owner)) continue;
        struct stat st {};
        const std::string path = dir + "/" + e->d_name;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) stale.push_back(path);
    }
    ::closedir(d);
    int removed = 0;
    for (const std::string& path : stale) removed += ::unlink(path.c_str()) == 0;
    return removed;
}

}  // namespace kivo::platform
