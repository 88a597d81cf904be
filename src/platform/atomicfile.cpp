#include "platform/atomicfile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
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

// A rename in `dir` that swaps the two names, or that fails when `to` exists: 0 or the errno;
// EINVAL where the system has no such rename, so that the caller takes its other way.
enum RenameFlag { kExchange, kNoReplace };
int RenameWithFlags(int dir, const std::string& from, const std::string& to, RenameFlag flag) {
#ifdef __linux__
    const unsigned flags = flag == kExchange ? RENAME_EXCHANGE : RENAME_NOREPLACE;
    return ::renameat2(dir, from.c_str(), dir, to.c_str(), flags) == 0 ? 0 : errno;
#else
    (void)dir, (void)from, (void)to, (void)flag;
    return EINVAL;
#endif
}

std::atomic<unsigned> g_tempCounter{0};
std::function<int(const std::string&)> g_renameFault;
std::function<void()> g_beforeCommitCheck;
std::function<void(const std::string&)> g_afterKeep;

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

constexpr std::string_view kTempMark = ".kivo-";
constexpr std::string_view kKeptMark = ".kivo-kept-";

// A name beside `name` that no other writer uses: of new content, or of a kept original.
std::string TempName(const std::string& name, std::string_view mark = kTempMark) {
    return "." + name + std::string(mark) + HostName() + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(g_tempCounter.fetch_add(1));
}

// Opens a fresh file of such a name in the folder `dir`; -1 with errno set on failure.
int OpenTemp(int dir, const std::string& name, mode_t createMode, std::string& tempName,
             std::string_view mark) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = TempName(name, mark);
        int fd =
            ::openat(dir, tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Writes a flushed file beside `name` in `dir` through `fill`, with the owner and group of
// `like` where allowed and the permission bits `mode` (else those of `like`; else 0666 less the
// umask). Returns 0 or the errno of the failure, leaving no file then.
int WriteTemp(int dir, const std::string& name, const FillFile& fill, const struct stat* like,
              std::optional<mode_t> mode, std::string& temp, struct stat* written,
              std::string_view mark = kTempMark) {
    int fd = OpenTemp(dir, name, like || mode ? 0600 : 0666, temp, mark);
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
    if (err) ::unlinkat(dir, temp.c_str(), 0);
    return err;
}

// Keeps `name` of `dir` under a name of its own: a second link, the same file (a symbolic link
// itself, not what it points to), where the system allows one; else (a file system without
// links, or a file of another owner that protected links keep this user from linking) a copy
// with its content, mode and, where allowed, owner. `linked` tells which.
int KeepOriginal(int dir, const std::string& name, std::string& kept, bool& linked) {
    linked = false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        kept = TempName(name, kKeptMark);
        if (::linkat(dir, name.c_str(), dir, kept.c_str(), 0) == 0) {
            linked = true;
            return 0;
        }
        if (errno != EEXIST) break;
    }
    int in = ::openat(dir, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    int err = in < 0 ? errno : 0;
    struct stat st {};
    if (!err && ::fstat(in, &st) != 0) err = errno;
    if (!err && !S_ISREG(st.st_mode)) err = EINVAL;
    if (!err)
        err = WriteTemp(
            dir, name, [in](int out) { return CopyAll(in, out); }, &st, std::nullopt, kept, nullptr,
            kKeptMark);
    if (in >= 0) ::close(in);
    if (err) kept.clear();
    return err;
}

// Whether the seam makes the rename of a commit's step on `target` fail; 0 or the errno.
int RenameFault(const std::string& target) { return g_renameFault ? g_renameFault(target) : 0; }

// A rename within `dir` of a commit's step on `target`, through the test seam; 0 or the errno.
int StepRename(int dir, const std::string& from, const std::string& to, const std::string& target) {
    if (int err = RenameFault(target)) return err;
    return ::renameat(dir, from.c_str(), dir, to.c_str()) == 0 ? 0 : errno;
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

int OpenDirectory(const std::string& dir) {
    return ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
            st.st_ctim.tv_sec * kNs + st.st_ctim.tv_nsec,
            st.st_mode,
            st.st_uid,
            st.st_gid,
            st.st_nlink};
}

FileState FileState::At(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? Of(st) : FileState{};
}

std::string RenameRefusal(const std::string& path, bool followLink) {
    const std::string target = followLink ? RenameTarget(path) : path;
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
    // The writer's own name is replaced as itself: deleting a link deletes the link.
    std::string target = expect.ownFile ? path : RenameTarget(path);
    const int dir = OpenDirectory(DirectoryOf(target));
    if (dir < 0) return errno;
    std::string name = LastComponent(target);
    struct stat st {};
    const bool existed =
        ::fstatat(dir, name.c_str(), &st, expect.ownFile ? AT_SYMLINK_NOFOLLOW : 0) == 0;
    int err = existed && S_ISDIR(st.st_mode) ? EISDIR : 0;
    // The rename needs only the directory; whether the file itself may be written is asked of
    // the system. Its owner may always change its mode, so the read-only case is the caller's.
    if (!err && existed && !expect.ownFile && st.st_uid != ::geteuid() &&
        ::faccessat(dir, name.c_str(), W_OK, AT_EACCESS) != 0)
        err = errno;

    std::string temp;
    const bool like = existed && !S_ISLNK(st.st_mode);
    if (!err) err = WriteTemp(dir, name, fill, like ? &st : nullptr, mode, temp, written);
    if (err) {
        ::close(dir);
        return err;
    }
    // Held open, the file that the rename replaces is freed only after the last rename, so the
    // renames follow each other without the file system's work of freeing it between them.
    const int replaced =
        existed ? ::openat(dir, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK) : -1;
    steps_.push_back({std::move(target), dir, std::move(name), std::move(temp), expect, replaced});
    return 0;
}

void ReplaceSet::StageRemoval(const std::string& path, const Expect& expect) {
    const int dir = OpenDirectory(DirectoryOf(path));
    const int dirErr = dir < 0 ? errno : 0;
    std::string name = LastComponent(path);
    const int replaced =
        dir < 0 ? -1 : ::openat(dir, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    steps_.push_back({path, dir, std::move(name), {}, expect, replaced, dirErr});
}

void ReplaceSet::CloseReplaced() {
    for (Step& s : steps_) {
        if (s.replaced >= 0) ::close(s.replaced);
        s.replaced = -1;
    }
}

FileState ReplaceSet::StateOf(const Step& s) const {
    struct stat st {};
    const int flags = s.expect.ownFile ? AT_SYMLINK_NOFOLLOW : 0;
    return ::fstatat(s.dir, s.name.c_str(), &st, flags) == 0 ? FileState::Of(st) : FileState{};
}

ReplaceSet::Outcome ReplaceSet::Commit() {
    Outcome out = Refused();
    if (!out.err) out = KeepOriginals();
    if (!out.err && g_beforeCommitCheck) g_beforeCommitCheck();
    if (!out.err) out = CheckStates();
    const bool renaming = !out.err;
    if (renaming) out = RenameAll();
    // A kept original goes once its content is back in place (or was never moved); one that
    // the undo could not put back is the only copy of that content and stays.
    for (Step& s : steps_) {
        if (!s.kept.empty() && !s.keptIsOnlyCopy) ::unlinkat(s.dir, s.kept.c_str(), 0);
    }
    CloseReplaced();
    if (renaming) {
        std::vector<std::string> dirs;
        for (const Step& s : steps_) {
            std::string dir = DirectoryOf(s.target);
            if (std::find(dirs.begin(), dirs.end(), dir) != dirs.end()) continue;
            dirs.push_back(dir);
            // Some file systems refuse this on directories; the renames are done either way.
            ::fsync(s.dir);
        }
    }
    return out;
}

ReplaceSet::Outcome ReplaceSet::Refused() const {
    for (const Step& s : steps_) {
        if (s.dirErr) return {s.dirErr, s.target, ErrorText(s.dirErr)};
        if (std::string why = RenameRefusal(s.target, !s.expect.ownFile); !why.empty())
            return {EPERM, s.target, std::move(why)};
    }
    return {};
}

ReplaceSet::Outcome ReplaceSet::CheckStates() {
    for (const Step& s : steps_) {
        if (s.expect.state && StateOf(s) != *s.expect.state)
            return {EAGAIN, s.target, kChangedByAnotherProgram};
    }
    return {};
}

// A new link to a file moves its change time and its link count, and nothing else: the state
// seen right after it must differ from the one expected in those alone, and is the one expected
// from then on, for every step on that file.
ReplaceSet::Outcome ReplaceSet::ExpectLinked(const Step& s) {
    struct stat st {};
    if (::fstatat(s.dir, s.kept.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return {errno, s.target, ErrorText(errno)};
    const FileState now = FileState::Of(st);
    for (Step& other : steps_) {
        if (!other.expect.state) continue;
        FileState& was = *other.expect.state;
        if (was.dev != now.dev || was.ino != now.ino) continue;
        FileState linked = was;
        linked.ctime = now.ctime;
        linked.nlink = was.nlink + 1;
        if (now != linked) return {EAGAIN, other.target, kChangedByAnotherProgram};
        was = now;
    }
    return {};
}

ReplaceSet::Outcome ReplaceSet::KeepOriginals() {
    for (Step& s : steps_) {
        // Looked at in full right before the keep: after it, the keep's own change is expected.
        if (s.expect.state && StateOf(s) != *s.expect.state)
            return {EAGAIN, s.target, kChangedByAnotherProgram};
        struct stat st {};
        s.existed = ::fstatat(s.dir, s.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        // A removal keeps its file by moving it away in its turn; the last step is never put
        // back (when its own rename fails, it is not done).
        if (!s.existed || s.temp.empty() || &s == &steps_.back()) continue;
        bool linked = false;
        if (int err = KeepOriginal(s.dir, s.name, s.kept, linked)) {
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
        if (linked) {
            if (Outcome out = ExpectLinked(s); out.err) return out;
        }
        if (g_afterKeep) g_afterKeep(s.target);
    }
    return {};
}

// Moves the original away under a kept name and the new content into place: in one exchange of
// the two names where the system has it, so that the target is never missing; else in two
// renames, between which a kill leaves the kept original for the next clean-up to put back.
// 0, or the errno of a failure that left the target as it was (when `s.done`, moved away).
int ReplaceSet::MoveAsideAndRename(Step& s) {
    s.kept = TempName(s.name, kKeptMark);
    // Under the kept name until the exchange, the new content is a copy of another file of the
    // set (the backup's source) for a clean-up to find.
    if (::renameat(s.dir, s.temp.c_str(), s.dir, s.kept.c_str()) == 0) {
        int err = RenameFault(s.target);
        if (!err) err = RenameWithFlags(s.dir, s.kept, s.name, kExchange);
        if (!err) {
            s.done = true;
            return 0;
        }
        if (::renameat(s.dir, s.kept.c_str(), s.dir, s.temp.c_str()) != 0) {
            err = errno;
            ::unlinkat(s.dir, s.kept.c_str(), 0);
            s.kept.clear();
            return err;
        }
        if (err != EINVAL && err != ENOSYS) {
            s.kept.clear();
            return err;
        }
    }
    if (int err = StepRename(s.dir, s.name, s.kept, s.target)) {
        s.kept.clear();
        return err;
    }
    s.done = true;  // undone by moving the file back
    return StepRename(s.dir, s.temp, s.name, s.target);
}

ReplaceSet::Outcome ReplaceSet::RenameAll() {
    for (Step& s : steps_) {
        int err = 0;
        if (s.moveAside) {
            err = MoveAsideAndRename(s);
        } else if (!s.temp.empty()) {
            err = StepRename(s.dir, s.temp, s.name, s.target);
        } else if (s.existed) {
            s.kept = TempName(s.name, kKeptMark);
            err = StepRename(s.dir, s.name, s.kept, s.target);
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
    // Every step is tried, whatever failed before it: each one put back is one file less to
    // tell the user about.
    for (auto s = steps_.rbegin(); s != steps_.rend(); ++s) {
        if (!s->done) continue;
        int err = 0;
        if (s->existed) {
            err = StepRename(s->dir, s->kept, s->name, s->target);
            if (!err) s->kept.clear();
        } else if (!s->temp.empty() && ::unlinkat(s->dir, s->name.c_str(), 0) != 0 &&
                   errno != ENOENT) {
            err = errno;
        }
        if (err) {
            failure.reason += "; " + s->target + " could not be put back (" + ErrorText(err) + ")";
            if (s->existed) {
                s->keptIsOnlyCopy = true;
                failure.reason +=
                    "; its previous content is kept as " + DirectoryOf(s->target) + "/" + s->kept;
            }
            continue;
        }
        s->done = false;
    }
    return failure;
}

ReplaceSet::~ReplaceSet() {
    CloseReplaced();
    for (const Step& s : steps_) {
        if (!s.done && !s.temp.empty()) ::unlinkat(s.dir, s.temp.c_str(), 0);
        if (s.dir >= 0) ::close(s.dir);
    }
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

// The process id of a name ".NAME<mark>HOST-PID-N" made on this machine for one of `names`,
// or 0 when the name is not of that form. `spelling` receives NAME as the name spells it.
pid_t TempOwner(std::string_view name, const std::vector<std::string>& names, std::string_view mark,
                std::string* spelling = nullptr) {
    for (const std::string& target : names) {
        const std::size_t head = 1 + target.size() + mark.size();
        if (name.size() <= head || name[0] != '.' ||
            !EqualsIgnoreAsciiCase(name.substr(1, target.size()), target) ||
            name.substr(1 + target.size(), mark.size()) != mark)
            continue;
        // A kept original is no temporary file.
        if (mark == kTempMark && name.substr(1 + target.size(), kKeptMark.size()) == kKeptMark)
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
        if (pid <= 0 || pid > INT_MAX) continue;
        if (spelling) *spelling = std::string(name.substr(1, target.size()));
        return static_cast<pid_t>(pid);
    }
    return 0;
}

bool Runs(pid_t pid) {
    if (pid == ::getpid()) return true;
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

// Reads up to `size` bytes, fewer only at the end of the file; -1 on failure.
ssize_t ReadUpTo(int fd, char* buf, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buf + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

// Whether the regular files `a` and `b` of `dir` hold the same bytes.
bool SameBytes(int dir, const std::string& a, const std::string& b) {
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    const int fa = ::openat(dir, a.c_str(), kFlags);
    const int fb = fa < 0 ? -1 : ::openat(dir, b.c_str(), kFlags);
    struct stat sa {
    }, sb{};
    bool same = fb >= 0 && ::fstat(fa, &sa) == 0 && ::fstat(fb, &sb) == 0 && S_ISREG(sa.st_mode) &&
                S_ISREG(sb.st_mode) && sa.st_size == sb.st_size;
    if (same && (sa.st_dev != sb.st_dev || sa.st_ino != sb.st_ino)) {
        std::vector<char> bufA(1 << 16), bufB(1 << 16);
        for (;;) {
            const ssize_t na = ReadUpTo(fa, bufA.data(), bufA.size());
            const ssize_t nb = ReadUpTo(fb, bufB.data(), bufB.size());
            if (na < 0 || na != nb || !std::equal(bufA.begin(), bufA.begin() + na, bufB.begin())) {
                same = false;
                break;
            }
            if (na == 0) break;
        }
    }
    if (fa >= 0) ::close(fa);
    if (fb >= 0) ::close(fb);
    return same;
}

// Renames `from` to `to` in `dir` unless `to` exists.
bool RenameNoReplace(int dir, const std::string& from, const std::string& to) {
    const int err = RenameWithFlags(dir, from, to, kNoReplace);
    if (err == 0) return true;
    if (err != EINVAL && err != ENOSYS) return false;
    // A file system without the no-replace rename: a hard link fails when the target exists.
    return ::linkat(dir, from.c_str(), dir, to.c_str(), 0) == 0 &&
           ::unlinkat(dir, from.c_str(), 0) == 0;
}

}  // namespace

int RemoveStaleTemps(const std::string& dir, const std::vector<std::string>& names) {
    const int fd = OpenDirectory(dir);
    if (fd < 0) return 0;
    const int listed = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR* d = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!d) {
        if (listed >= 0) ::close(listed);
        ::close(fd);
        return 0;
    }
    std::vector<std::string> stale, set;
    std::vector<std::pair<std::string, std::string>> kept;  // kept name, its target's name
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        std::string target;
        if (const pid_t owner = TempOwner(name, names, kTempMark)) {
            struct stat st {};
            if (!Runs(owner) && ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode))
                stale.push_back(name);
        } else if (const pid_t keeper = TempOwner(name, names, kKeptMark, &target)) {
            if (!Runs(keeper)) kept.emplace_back(name, target);
        } else if (std::any_of(names.begin(), names.end(), [&](const std::string& n) {
                       return EqualsIgnoreAsciiCase(name, n);
                   })) {
            set.push_back(name);
        }
    }
    ::closedir(d);
    int tidied = 0;
    for (const std::string& name : stale) tidied += ::unlinkat(fd, name.c_str(), 0) == 0;
    for (const auto& entry : kept) {
        const std::string& name = entry.first;
        const std::string& target = entry.second;
        struct stat own {
        }, st{};
        if (::fstatat(fd, name.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(own.st_mode))
            continue;
        if (::fstatat(fd, target.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            // A killed commit left its target missing: the original goes back.
            if (errno == ENOENT && RenameNoReplace(fd, name, target)) {
                set.push_back(target);
                ++tidied;
            }
            continue;
        }
        // A symbolic link or special file holds no bytes to lose; a regular file goes only when
        // a file of the set holds the same.
        const bool copyElsewhere =
            !S_ISREG(own.st_mode) || std::any_of(set.begin(), set.end(), [&](const std::string& f) {
                return SameBytes(fd, name, f);
            });
        if (copyElsewhere) tidied += ::unlinkat(fd, name.c_str(), 0) == 0;
    }
    ::close(fd);
    return tidied;
}

namespace testing {

void SetRenameFault(std::function<int(const std::string& target)> fault) {
    g_renameFault = std::move(fault);
}

void SetBeforeCommitCheck(std::function<void()> hook) { g_beforeCommitCheck = std::move(hook); }

void SetAfterKeep(std::function<void(const std::string& target)> hook) {
    g_afterKeep = std::move(hook);
}

}  // namespace testing

}  // namespace kivo::platform
