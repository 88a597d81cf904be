#pragma once
// File operations the store needs, over std::filesystem. Every path is a native path of this
// machine. Names of existing files match without regard to ASCII case: when the exact path
// does not exist, the file in the same directory whose name differs only in letter case is
// used (an installer made on Windows may hold "TAVIN.ini" where we ask for "Tavin.ini").
// Each operation reports failure through its result; none throws.

#include <string>

namespace kivo::fileops {

// What an operation that may fail gives back: whether it succeeded and, when not, the
// system's error number.
struct Result {
    bool ok = true;
    int err = 0;
    bool notRegular = false;  // what is there is no regular file (a FIFO, a device, a socket)

    explicit operator bool() const { return ok; }
    // The failure in words for messages, e.g. "Permission denied"; empty on success.
    std::string Text() const;
};

// The native separator of this machine.
char Separator();

// dir followed by the native separator and name (no separator doubled).
std::string Join(const std::string& dir, const std::string& name);

// The path of the existing file or directory that `path` names without regard to the case of
// its last component; `path` itself when it exists exactly, or when nothing matches.
std::string ResolveCase(const std::string& path);

bool Exists(const std::string& path);           // file or directory
bool FileExists(const std::string& path);       // regular file
bool DirectoryExists(const std::string& path);  // directory

// Deletes a file. A read-only file is deleted only when `force` is true.
Result DeleteFile(const std::string& path, bool force);

// Moves (renames) a file; fails when the target exists.
Result MoveFile(const std::string& from, const std::string& to);

// Copies a file, replacing the target when it exists. Neither may be anything but a regular file
// (a FIFO there would hold the copy for ever).
Result CopyFile(const std::string& from, const std::string& to);

// The read-only attribute, as the absence of every write permission bit. A path that names
// nothing this process can look at has no attribute: it is neither writable nor read-only.
// (An enum, not an optional<bool>: that would pass for "read-only" in a condition.)
enum class ReadOnly { No, Yes, Missing };
ReadOnly IsReadOnly(const std::string& path);
// Sets (clears every write bit) or clears (restores the owner's write bit) the attribute.
Result SetReadOnly(const std::string& path, bool readOnly);

// Why this process may not put a new file in place of `path` (or create it there), in words
// that complete "<file>: ...", e.g. "it is a directory"; the empty text when it may. The
// system is asked with the process's effective ids; the read-only attribute of a file this
// process owns is not looked at (the owner may clear it). What the system refuses to a rename
// although the folder may be written (a sticky folder, immutable and append-only files and
// folders) is foreseen here too.
std::string CannotReplace(const std::string& path);
// The same for a file of this program's own that may be deleted and made anew (a backup):
// whether this process may write the file itself is not asked, and a symbolic link there is
// judged as itself, never followed.
std::string CannotRecreate(const std::string& path);

}  // namespace kivo::fileops
