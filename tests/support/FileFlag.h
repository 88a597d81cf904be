#pragma once
// An inode flag (what chattr sets: immutable, append-only) on a file or folder while the object
// lives. Setting one needs root and a file system that keeps such flags.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>
#include <utility>

class FileFlag {
public:
    FileFlag(std::string path, int flag)
        : path_(std::move(path)), flag_(flag), set_(Change(true)) {}
    ~FileFlag() {
        if (set_) Change(false);
    }
    bool set() const { return set_; }  // false: no privilege, or not kept here

private:
    bool Change(bool on) const {
        const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        int flags = 0;
        bool done = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | flag_ : flags & ~flag_;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0) close(fd);
        return done;
    }

    std::string path_;
    int flag_;
    bool set_;
};
