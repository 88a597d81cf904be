#pragma once
// An inode flag (what chattr sets: immutable, append-only) on a file or folder for the life of
// the object. Setting one needs root and a file system that keeps the flags.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

class FileFlag {
public:
    FileFlag(const std::string& path, int flag) : path_(path), flag_(flag) { set_ = Change(true); }
    ~FileFlag() {
        if (set_) Change(false);
    }
    FileFlag(const FileFlag&) = delete;
    FileFlag& operator=(const FileFlag&) = delete;

    // False when the flag could not be set (no privilege, or not kept here).
    bool set() const { return set_; }

private:
    bool Change(bool on) const {
        const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | flag_ : flags & ~flag_;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
        return done;
    }

    std::string path_;
    int flag_;
    bool set_ = false;
};
