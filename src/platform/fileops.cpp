#include "platform/fileops.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/asciicase.h"
#include "platform/atomicfile.h"

namespace kivo::fileops {

namespace {

Result Fail(int err) { return Result{false, err}; }

Result NotRegular() { return Result{false, EINVAL, true}; }

bool StatOf(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

bool NoWriteBits(const struct stat& st) { return (st.st_mode & 0222) == 0; }

// Copies `from` (resolved) onto `to` (resolved), replacing it atomically; the copy takes the
// source's permission bits, read-only included, like the copy of the desktop system.
Result CopyResolved(const std::string& from, const std::string& to) {
    // Without waiting on what is there: a FIFO without a writer would hold the open for ever (a
    // regular file's reads never wait on it).
    int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (in < 0) return Fail(errno);
    struct stat st {};
    const int statErr = ::fstat(in, &st) != 0 ? errno : 0;
    if (statErr || !S_ISREG(st.st_mode)) {
        ::close(in);
        return statErr ? Fail(statErr) : S_ISDIR(st.st_mode) ? Fail(EISDIR) : NotRegular();
    }
    int err = platform::ReplaceFile(
        to, [in](int out) { return ::lseek(in, 0, SEEK_SET) == 0 && platform::CopyAll(in, out); },
        st.st_mode & 07777);
    ::close(in);
    return err ? Fail(err) : Result{};
}

}  // namespace

std::string Result::Text() const {
    if (ok) return {};
    return notRegular ? "it is not a regular file" : platform::ErrorText(err);
}

char Separator() { return '/'; }

std::string Join(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    std::string out = dir;
    std::size_t skip = 0;
    while (skip < name.size() && name[skip] == '/') ++skip;
    if (out.back() != '/') out += '/';
    out.append(name, skip, std::string::npos);
    return out;
}

std::string ResolveCase(const std::string& path) {
    struct stat st {};
    if (path.empty() || StatOf(path, st)) return path;
    const std::string name = platform::LastComponent(path);
    if (name.empty() || name == "." || name == "..") return path;
    const auto slash = path.find_last_of('/');
    const std::string dirPart =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);

    DIR* d = ::opendir(dirPart.empty() ? "." : dirPart.c_str());
    if (!d) return path;
    std::vector<std::string> matches;
    while (dirent* e = ::readdir(d)) {
        if (platform::EqualsIgnoreAsciiCase(e->d_name, name)) matches.emplace_back(e->d_name);
    }
    ::closedir(d);
    if (matches.empty()) return path;
    // Several spellings of one name can coexist here; take the same one every time.
    std::sort(matches.begin(), matches.end());
    return dirPart + matches.front();
}

bool Exists(const std::string& path) {
    struct stat st {};
    return StatOf(ResolveCase(path), st);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return StatOf(ResolveCase(path), st) && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return StatOf(ResolveCase(path), st) && S_ISDIR(st.st_mode);
}

Result DeleteFile(const std::string& path, bool force) {
    const std::string p = ResolveCase(path);
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return Fail(errno);
    if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
    if (!force && !S_ISLNK(st.st_mode) && NoWriteBits(st)) return Fail(EACCES);
    if (::unlink(p.c_str()) != 0) return Fail(errno);
    return {};
}

Result MoveFile(const std::string& from, const std::string& to) {
    const std::string src = ResolveCase(from);
    const std::string dst = ResolveCase(to);
    struct stat st {};
    if (::lstat(src.c_str(), &st) != 0) return Fail(errno);
    if (::lstat(dst.c_str(), &st) == 0) return Fail(EEXIST);
    if (::renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0) return {};
    int err = errno;
    if (err == EINVAL || err == ENOSYS) {
        // A file system without the no-replace rename: a hard link fails when the target exists.
        if (::link(src.c_str(), dst.c_str()) != 0) return Fail(errno);
        ::unlink(src.c_str());
        return {};
    }
    if (err == EXDEV) {
        if (Result copied = CopyResolved(src, dst); !copied) return copied;
        if (::unlink(src.c_str()) != 0) return Fail(errno);
        return {};
    }
    return Fail(err);
}

Result CopyFile(const std::string& from, const std::string& to) {
    const std::string src = ResolveCase(from);
    const std::string dst = ResolveCase(to);
    struct stat st {};
    if (StatOf(dst, st)) {
        if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
        if (!S_ISREG(st.st_mode)) return NotRegular();
        // A read-only target is not replaced, as on the desktop system.
        if (NoWriteBits(st)) return Fail(EACCES);
    }
    return CopyResolved(src, dst);
}

ReadOnly IsReadOnly(const std::string& path) {
    struct stat st {};
    if (!StatOf(ResolveCase(path), st)) return ReadOnly::Missing;
    return NoWriteBits(st) ? ReadOnly::Yes : ReadOnly::No;
}

Result SetReadOnly(const std::string& path, bool readOnly) {
    const std::string p = ResolveCase(path);
    struct stat st {};
    if (!StatOf(p, st)) return Fail(errno);
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
    if (::chmod(p.c_str(), mode) != 0) return Fail(errno);
    return {};
}

namespace {

// CannotReplace, and with `writeAsked` false CannotRecreate.
std::string Refusal(const std::string& path, bool writeAsked) {
    const std::string p = ResolveCase(path);
    const std::string dir = platform::DirectoryOf(p);
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "its folder does not exist";
    // The rule the commit applies right before its renames, so that the two never disagree.
    // A name that is deleted and made anew is judged as itself, a symbolic link too.
    if (std::string why = platform::RenameRefusal(p, writeAsked); !why.empty()) return why;
    if (::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return "this user may not change its folder (" + platform::ErrorText(errno) + ")";
    if ((writeAsked ? ::stat(p.c_str(), &st) : ::lstat(p.c_str(), &st)) != 0) return {};
    if (!writeAsked && S_ISLNK(st.st_mode)) return {};
    if (S_ISDIR(st.st_mode)) return "it is a directory";
    if (!S_ISREG(st.st_mode)) return "it is not a regular file";
    if (writeAsked && st.st_uid != ::geteuid() &&
        ::faccessat(AT_FDCWD, p.c_str(), W_OK, AT_EACCESS) != 0)
        return "this user may not write it (" + platform::ErrorText(errno) + ")";
    return {};
}

}  // namespace

std::string CannotReplace(const std::string& path) { return Refusal(path, true); }

std::string CannotRecreate(const std::string& path) { return Refusal(path, false); }

}  // namespace kivo::fileops
