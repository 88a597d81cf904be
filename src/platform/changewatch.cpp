#include "platform/changewatch.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "platform/asciicase.h"

namespace kivo::platform {

namespace {

constexpr std::uint32_t kDirEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                     IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kFileEvents =
    IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVE_SELF | IN_DELETE_SELF;

// File systems where another machine or a user-space server can change a file without any
// local event.
bool IsRemote(const std::string& dir) {
    struct statfs fs {};
    if (::statfs(dir.c_str(), &fs) != 0) return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0x6969:      // NFS
        case 0x517B:      // SMB
        case 0xFF534D42:  // CIFS
        case 0xFE534D42:  // SMB2
        case 0x65735546:  // FUSE
        case 0x00C36400:  // Ceph
        case 0x01021997:  // 9P
        case 0x5346414F:  // AFS
        case 0x73757245:  // Coda
        case 0x564C:      // NCP
            return true;
        default: return false;
    }
}

}  // namespace

ChangeWatch::~ChangeWatch() { Reset(); }

bool ChangeWatch::Open() {
    if (fd_ >= 0) return true;
    if (unavailable_) return false;
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    unavailable_ = fd_ < 0;
    return fd_ >= 0;
}

void ChangeWatch::Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    dirWatch_.clear();
    names_.clear();
    live_.clear();
    ++generation_;
}

std::uint64_t ChangeWatch::Poll() {
    if (fd_ < 0) return ++generation_;
    struct pollfd p {
        fd_, POLLIN, 0
    };
    const int ready = ::poll(&p, 1, 0);
    if (ready == 0) return generation_;
    if (ready < 0) return ++generation_;
    Drain();
    return generation_;
}

void ChangeWatch::Drain() {
    alignas(struct inotify_event) char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            return;
        }
        for (ssize_t off = 0; off < n;) {
            const auto* ev = reinterpret_cast<const struct inotify_event*>(buf + off);
            off += static_cast<ssize_t>(sizeof(struct inotify_event) + ev->len);
            auto dir = names_.find(ev->wd);
            const bool dirGone =
                dir != names_.end() && (ev->mask & (IN_MOVE_SELF | IN_DELETE_SELF));
            if ((ev->mask & IN_IGNORED) || dirGone) {
                // The watch ended, or its directory no longer stands under the name it was
                // watched by: watch afresh at the next use.
                if (dirGone) ::inotify_rm_watch(fd_, ev->wd);
                live_.erase(ev->wd);
                if (names_.erase(ev->wd)) {
                    for (auto it = dirWatch_.begin(); it != dirWatch_.end();) {
                        it = it->second == ev->wd ? dirWatch_.erase(it) : std::next(it);
                    }
                }
                ++generation_;
                continue;
            }
            if (dir != names_.end() && ev->len > 0 && !(ev->mask & IN_Q_OVERFLOW)) {
                // Another file of the directory: nothing we hold.
                if (!dir->second.count(
                        FoldedAscii(std::string_view(ev->name, ::strnlen(ev->name, ev->len)))))
                    continue;
            }
            ++generation_;
        }
    }
}

bool ChangeWatch::WatchName(const std::string& dir, const std::string& name) {
    if (!Open()) return false;
    auto it = dirWatch_.find(dir);
    if (it == dirWatch_.end()) {
        if (IsRemote(dir)) return false;
        const int wd = ::inotify_add_watch(fd_, dir.c_str(), kDirEvents);
        if (wd < 0) return false;
        it = dirWatch_.emplace(dir, wd).first;
        live_.insert(wd);
    }
    names_[it->second].insert(FoldedAscii(name));
    return true;
}

int ChangeWatch::WatchFile(const std::string& path) {
    if (!Open()) return -1;
    const int wd = ::inotify_add_watch(fd_, path.c_str(), kFileEvents);
    if (wd >= 0) live_.insert(wd);
    return wd;
}

}  // namespace kivo::platform
