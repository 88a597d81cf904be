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
std::function<int(const std::string&)> g_renameFault;
std::function<void()> g_beforeCommitCheck;

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

// Writes a flushed temporary file next to `target` through `fill`, with the owner and group of
// `like` where allowed and the permission bits `mode` (else those of `like`; else 0666 less the
// umask). Returns 0 or the errno of the failure, leaving no file then.
int WriteTemp(const std::string& target, const FillFile& fill, const struct stat* like,
              std::optional<mode_t> mode, std::string& temp, struct stat* written) {
    int fd = OpenTemp(target, like || mode ? 0600 : 0666, temp);
    if (fd < 0) return errno;
    int err = 0;
    errno = 0;
    if (!fill(fd)) err = errno ? errno : EIO;
    if (!err && like) {
        // Best effort: only a privileged process may hand the file back to another owner; a
        // member of the file's group may still keep the group.
        if (::fchown(fd, like->st_uid, like->st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), like->st_gid) != 0)
            errno = 0;
    }
    if (!err && (mode || like)) {
        if (::fchmod(fd, mode ? *mode : (like->st_mode & 07777)) != 0) err = errno;
    }
    if (!err && ::fsync(fd) != 0) err = errno;
    if (!err && written && ::fstat(fd, written) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (err) ::unlink(temp.c_str());
    return err;
}

// Keeps `target` under a temporary name: a second link, the same file, where the system allows
// one; else (a file system without links, or a file of another owner that protected links keep
// this user from linking) a copy with its content, mode and, where allowed, owner.
int KeepOriginal(const std::string& target, std::string& kept) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        kept = TempName(target);
        if (::link(target.c_str(), kept.c_str()) == 0) return 0;
        if (errno != EEXIST) break;
    }
    int in = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    int err = in < 0 ? errno : 0;
    struct stat st {};
    if (!err && ::fstat(in, &st) != 0) err = errno;
    if (!err)
        err = WriteTemp(
            target, [in](int out) { return CopyAll(in, out); }, &st, std::nullopt, kept, nullptr);
    if (in >= 0) ::close(in);
    if (err) kept.clear();
    return err;
}

// A rename of a commit's step on `target`, through the test seam; 0 or the errno.
int StepRename(const std::string& from, const std::string& to, const std::string& target) {
    if (g_renameFault) {
        if (int err = g_renameFault(target)) return err;
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
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

FileState FileState::Of(const struct stat& st) {
    constexpr std::int64_t kNs = 1'000'000'000;
    return {true,
            st.st_dev,
            st.st_ino,
            st.st_size,
            st.st_mtim.tv_sec * kNs + st.st_mtim.tv_nsec,
            st.st_ctim.tv_sec * kNs + st.st_ctim.tv_nsec};
}

FileState FileState::At(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? Of(st) : FileState{};
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
    if (int err = WriteTemp(target, fill, existed ? &st : nullptr, mode, temp, written)) return err;
    // Held open, the file that the rename replaces is freed only after the last rename, so the
    // renames follow each other without the file system's work of freeing it between them.
    const int replaced = existed ? ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW) : -1;
    steps_.push_back({std::move(target), std::move(temp), expect, replaced});
    return 0;
}

void ReplaceSet::StageRemoval(const std::string& path, const Expect& expect) {
    steps_.push_back({path, {}, expect, ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)});
}

void ReplaceSet::CloseReplaced() {
    for (Step& s : steps_) {
        if (s.replaced >= 0) ::close(s.replaced);
        s.replaced = -1;
    }
}

ReplaceSet::Outcome ReplaceSet::Commit() {
    Outcome out = Refused();
    // A kept link moves the file's change time: the full look comes before the keeps, and the
    // look right after them compares everything else and takes what it sees as the state the
    // last look expects.
    if (!out.err) out = CheckStates(false);
    if (!out.err) out = KeepOriginals();
    if (!out.err) out = CheckStates(true);
    if (!out.err && g_beforeCommitCheck) g_beforeCommitCheck();
    if (!out.err) out = CheckStates(false);
    const bool renaming = !out.err;
    if (renaming) out = RenameAll();
    for (Step& s : steps_) {
        if (!s.kept.empty()) ::unlink(s.kept.c_str());
        s.kept.clear();
    }
    CloseReplaced();
    if (renaming) {
        std::vector<std::string> dirs;
        for (const Step& s : steps_) {
            std::string dir = DirectoryOf(s.target);
            if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
        }
        for (const std::string& dir : dirs) SyncDirectory(dir);
    }
    return out;
}

ReplaceSet::Outcome ReplaceSet::Refused() const {
    for (const Step& s : steps_) {
        if (std::string why = RenameRefusal(s.target); !why.empty())
            return {EPERM, s.target, std::move(why)};
    }
    return {};
}

ReplaceSet::Outcome ReplaceSet::CheckStates(bool changeTimeMoved) {
    for (Step& s : steps_) {
        if (!s.expect.state) continue;
        const FileState now = FileState::At(s.target);
        if (changeTimeMoved ? !now.SameContent(*s.expect.state) : now != *s.expect.state)
            return {EAGAIN, s.target, kChangedByAnotherProgram};
        s.expect.state = now;
    }
    return {};
}

ReplaceSet::Outcome ReplaceSet::KeepOriginals() {
    for (Step& s : steps_) {
        struct stat st {};
        s.existed = ::lstat(s.target.c_str(), &st) == 0;
        // A removal keeps its file by moving it away in its turn; the last step is never put
        // back (when its own rename fails, it is not done).
        if (!s.existed || s.temp.empty() || &s == &steps_.back()) continue;
        if (int err = KeepOriginal(s.target, s.kept)) {
            // The writer's own file that this user may neither link nor read (another user's
            // backup) is moved away in its turn instead, as a removal is.
            if (s.expect.ownFile) {
                s.moveAside = true;
                continue;
            }
            return {
                err, s.target,
                "it cannot be kept aside until every file is in place (" + ErrorText(err) + ")"};
        }
    }
    return {};
}

ReplaceSet::Outcome ReplaceSet::RenameAll() {
    for (Step& s : steps_) {
        int err = 0;
        if (s.moveAside) {
            s.kept = TempName(s.target);
            err = StepRename(s.target, s.kept, s.target);
            if (err) {
                s.kept.clear();
                return Undo({err, s.target, ErrorText(err)});
            }
            s.done = true;  // undone by moving the file back
        }
        if (!s.temp.empty()) {
            err = StepRename(s.temp, s.target, s.target);
        } else if (s.existed) {
            s.kept = TempName(s.target);
            err = StepRename(s.target, s.kept, s.target);
            if (err) s.kept.clear();
            if (err == ENOENT) {  // gone already: nothing left to remove
                s.existed = false;
                err = 0;
            }
        }
        if (err) return Undo({err, s.target, ErrorText(err)});
        s.done = true;
    }
    return {};
}

ReplaceSet::Outcome ReplaceSet::Undo(Outcome failure) {
    for (auto s = steps_.rbegin(); s != steps_.rend(); ++s) {
        if (!s->done) continue;
        int err = 0;
        if (s->existed) {
            err = StepRename(s->kept, s->target, s->target);
            if (!err) s->kept.clear();
        } else if (!s->temp.empty() && ::unlink(s->target.c_str()) != 0 && errno != ENOENT) {
            err = errno;
        }
        if (err) {
            failure.reason += "; " + s->target + " could not be put back (" + ErrorText(err) + ")";
            return failure;
        }
        s->done = false;
    }
    return failure;
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

namespace testing {

void SetRenameFault(std::function<int(const std::string& target)> fault) {
    g_renameFault = std::move(fault);
}

void SetBeforeCommitCheck(std::function<void()> hook) { g_beforeCommitCheck = std::move(hook); }

}  // namespace testing

}  // namespace kivo::platform
