#pragma once
// Replacing a file's content so that a reader sees either the old or the new content, never a
// part: the new bytes go to a temporary file in the same directory, are flushed to the disk and
// then renamed over the target, and the directory entry is flushed too.

#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace kivo::platform {

// Writes the new content to the open descriptor; false (with errno set) on failure.
using FillFile = std::function<bool(int fd)>;

// Replaces (or creates) `path`. The result keeps the permission bits and, where allowed, the owner
// of the file it replaces; `mode` overrides the bits; a new file gets 0666 less the umask. A
// symbolic link is followed, so the file it points to is replaced. Returns 0 on success, else
// the errno of the failure; no temporary file is left behind. `written`, when given, receives
// the state of the new file as it was written (before the rename).
int ReplaceFile(const std::string& path, const FillFile& fill,
                std::optional<mode_t> mode = std::nullopt, struct stat* written = nullptr);

// Writes all of `size` bytes, retrying after interruptions.
bool WriteAll(int fd, const char* data, std::size_t size);

// A plain description of an errno value, e.g. "Permission denied".
std::string ErrorText(int err);

// The directory part of a path ("." when there is none) and the last component.
std::string DirectoryOf(const std::string& path);
std::string LastComponent(const std::string& path);

}  // namespace kivo::platform
