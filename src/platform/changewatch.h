#pragma once
// Cheap notice of changes to files on disk. Looking at a file's state through its path costs a
// path lookup in the kernel at every call; the kernel's change notification (inotify) instead
// queues an event when a watched file or a watched name in a directory changes, and one poll of
// the queue tells whether anything happened at all. A file that cannot be watched (a network or
// user-space file system, whose changes by other machines raise no events; no notification
// available) must be looked at on every use.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace kivo::platform {

class ChangeWatch {
public:
    ChangeWatch() = default;
    ~ChangeWatch();
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    // A counter that moves on whenever something watched may have changed since the last call
    // (and on every call while nothing can be watched).
    std::uint64_t Poll();

    // Watches `dir` for files named `name` (in any letter case) appearing, disappearing or being
    // replaced. False when changes there cannot be noticed.
    bool WatchName(const std::string& dir, const std::string& name);

    // Watches the file (the one a symbolic link points to) for changes of content or attributes
    // and for its removal. The watch's id, or -1.
    int WatchFile(const std::string& path);

    // Whether a watch given by WatchFile still stands (it ends when its file is gone).
    bool IsLive(int wd) const { return live_.count(wd) != 0; }

    // Drops every watch.
    void Reset();

private:
    bool Open();
    void Drain();

    int fd_ = -1;
    bool unavailable_ = false;
    std::uint64_t generation_ = 1;
    std::unordered_map<std::string, int> dirWatch_;                   // directory -> watch
    std::unordered_map<int, std::unordered_set<std::string>> names_;  // directory watch -> names
    std::unordered_set<int> live_;
};

}  // namespace kivo::platform
