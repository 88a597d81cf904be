#pragma once
// Our own private-profile (INI) engine: the read and write contract of the Windows
// GetPrivateProfileString / WritePrivateProfileString functions, on 8-bit text files.
//
// - Section and key names match without regard to ASCII case; bytes 0x80-0xFF compare exactly.
// - A write changes (or adds, or deletes) one line and leaves every other byte of the file as it
//   was: line ends, blank lines, comments, padding. A new file or section is written with CRLF.
// - One parsed copy per file is kept and checked against the file on disk at every call, so
//   every read sees what the disk holds and every write is seen by the next read. The check is
//   the kernel's change notification for the file and its name where the file can be watched,
//   else the file's state (device, inode, size, modification and change times).
// - Inside an operation (an Operation object alive) each file is checked once, at its first use
//   in the operation: the operation sees every file as it stood then, plus its own writes. A
//   change made meanwhile by another program, or by this one other than through these
//   functions, is seen by the next operation (ClearCache makes it seen at once).
// - A section, key or value holding CR, LF or NUL is never written: the write fails.
// - Inside a batch (BeginBatch ... CommitBatch) writes go to the parsed copies only. The commit
//   first writes every file whose bytes the batch changed to a flushed temporary file in its
//   directory (with the original's owner, group and permission bits), and only when all of them
//   are ready renames them over the originals, one right after the other. Reads inside the batch
//   see the batch's writes. A file that changed on disk since the batch first changed (or
//   deleted) it, in any of its state including the change time, is not replaced: the commit
//   fails and replaces nothing.
//
// Paths are native paths; the last component matches an existing file without regard to case.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/atomicfile.h"

namespace kivo::profile {

// GET of one value into a buffer of `size` bytes: the returned text is what the buffer holds up
// to its first NUL (value, or default when the file, section or key is missing), with the
// contract's trimming, quote removal and truncation rules.
std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                      std::size_t size, const std::string& path);

// GetString of a key that is there: false, with `out` untouched, when the file, the section or
// the key is missing; else `out` holds what GetString would return. One lookup, and no
// allocation when `out` already has the room.
bool FindString(std::string_view section, std::string_view key, std::size_t size,
                const std::string& path, std::string& out);

// GET of the section-name list into a buffer of `size` bytes: the bytes the buffer holds, up to
// and including the final NUL that ends the list (names each followed by NUL, one more NUL at
// the end; truncated as the contract says).
std::string GetSectionNames(std::size_t size, const std::string& path);

// GET of the key-name list of one section, like GetSectionNames.
std::string GetSectionKeys(std::string_view section, std::size_t size, const std::string& path);

// Why the file `path` names cannot be read, although something is there, in words that complete
// "<file>: ...": "it is a directory", "it is not a regular file" (a FIFO, a device, a socket: never
// opened, so never waited on) or "it cannot be read (<reason>)". The empty text when the file can
// be read or nothing is there. Reads of such a file see no sections and no keys.
std::string WhyUnreadable(const std::string& path);

// WRITE: sets `key` of `section` to `value`; a missing value (std::nullopt) deletes the key.
// Returns false when the file cannot be written (missing folder, read-only file, no space) or
// when a name or the value holds CR, LF or NUL.
bool WriteString(std::string_view section, std::string_view key,
                 const std::optional<std::string_view>& value, const std::string& path);

// Deletes a whole section (header and every line up to the next header).
bool DeleteSection(std::string_view section, const std::string& path);

// The state (device, inode, size, times) of the file as the parsed copy was read from it, the
// file checked against the disk as any read would; a missing file gives a missing state. Inside
// a batch, the state of a changed file when the batch first changed it.
platform::FileState ParsedState(const std::string& path);

// Batches. Only one batch at a time; nested BeginBatch calls are counted and the outermost
// CommitBatch/AbortBatch ends it.
void BeginBatch();

// Further steps of the running batch's commit, put in place together with its files: a copy of
// `from` as it stands on disk at the commit, written to `to` with the source's permission bits
// (without any write bit when `readOnly`), and a file to delete. The commit carries out the
// copies first, then the changed files in the order of their first change, then the deletions,
// back to back. The copy's target is the writer's own file: it is replaced where its folder
// allows, whatever its own permission bits. A file to delete must still be as it stands now.
void CopyAtCommit(const std::string& from, const std::string& to, bool readOnly = false);
void DeleteAtCommit(const std::string& path);
// Lets the running batch write `path` although it is read-only; the new file keeps the
// attribute, and the file on disk never loses it. Without it a batch still writes into the copy
// of a read-only file, but its commit fails should the file's bytes then differ.
void WriteThroughReadOnly(const std::string& path);
// Whether the running batch, committed now, would replace or delete `path`: a file whose bytes
// the batch leaves as they are is not written.
bool BatchChanges(const std::string& path);

struct CommitResult {
    bool ok = true;
    std::string file;    // the file that could not be written, when !ok
    std::string reason;  // a plain description, when !ok
};
// Writes every file changed in the batch; a file whose bytes are the same as on disk is not
// written. A failure leaves every file as it was: while the files are prepared nothing is
// touched yet, and a rename that fails after all (rare: everything was checked and written by
// then) has the renames before it put back; only a file that could not be put back is named in
// the reason. The parsed copies are dropped on failure.
CommitResult CommitBatch();
// Drops every change of the batch; no file is touched.
void AbortBatch();
bool InBatch();

// One store operation (an open, a load, a save): while an Operation lives, each file is
// checked against the disk once. Operations nest; the outermost one bounds the view.
class Operation {
public:
    Operation();
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;
};

// Forgets every parsed copy (tests, and after a failed commit).
void ClearCache();

}  // namespace kivo::profile
