#include "platform/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo::platform {

namespace {

std::atomic<unsigned> g_tempCounter{0};

// Opens a fresh temporary file next to `target`; -1 with errno set on failure.
int OpenTemp(const std::string& target, mode_t createMode, std::string& tempPath) {
    const std::string dir = DirectoryOf(target);
    const std::string base = LastComponent(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = dir + "/." + base + ".kivo-" + std::to_string(::getpid()) + "-" +
                   std::to_string(g_tempCounter.fetch_add(1));
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
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

std::string ErrorText(int err) {
    char buf[256];
    // GNU strerror_r returns the text, which may or may not live in buf.
    return ::strerror_r(err, buf, sizeof buf);
}

int ReplaceFile(const std::string& path, const FillFile& fill, std::optional<mode_t> mode,
                struct stat* written) {
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode)) return EISDIR;

    std::string temp;
    int fd = OpenTemp(target, existed || mode ? 0600 : 0666, temp);
    if (fd < 0) return errno;

    int err = 0;
    errno = 0;
    if (!fill(fd)) err = errno ? errno : EIO;
    if (!err) {
        if (existed) {
            // Best effort: only a privileged process may hand the file back to its owner.
            if (::fchown(fd, st.st_uid, st.st_gid) != 0) errno = 0;
        }
        if (mode || existed) {
            if (::fchmod(fd, mode ? *mode : (st.st_mode & 07777)) != 0) err = errno;
        }
    }
    if (!err && ::fsync(fd) != 0) err = errno;
    if (!err && written && ::fstat(fd, written) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        return err;
    }
    SyncDirectory(DirectoryOf(target));
    return 0;
}

}  // namespace kivo::platform
