#pragma once
// Replacing a file's content so that a reader sees either the old or the new content, never a
// part: the new bytes go to a temporary file in the same directory, are flushed to the disk and
// then renamed over the target, and the directory entry is flushed too. Several files can be
// replaced together: all of them are written and flushed first, and only then renamed, one right
// after the other. Until the last rename each replaced or removed file is kept under a name of
// its own, so that a rename the system refuses halfway puts back what the set had done. Every step
// works relative to its folder as it was opened when the step was staged, so that a rename of
// the folder cannot split a commit.
//
// Temporary files of new content are named ".NAME.kivo-HOST-PID-N" beside their target NAME
// (HOST this machine's name, PID the writing process, N a counter); kept originals
// ".NAME.kivo-kept-HOST-PID-N". What a killed process left behind is tidied by RemoveStaleTemps.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace kivo::platform {

// Writes the new content to the open descriptor; false (with errno set) on failure.
using FillFile = std::function<bool(int fd)>;

// What identifies one state of a file on disk. A change of content changes the size or the
// modification time (or the inode, when the file is replaced); the change time also catches a
// rewrite that set the modification time back. The attributes and the link count are held too,
// so that a change of them is told apart from the change time that a new link moves.
struct FileState {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    std::int64_t mtime = 0;
    std::int64_t ctime = 0;
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    nlink_t nlink = 0;

    static FileState Of(const struct stat& st);
    // The state of the file `path` names (a symbolic link followed); a missing one when it
    // cannot be looked at.
    static FileState At(const std::string& path);

    bool operator==(const FileState&) const = default;
    // The same content, whatever happened to the attributes or the links (they change only the
    // change time).
    bool SameContent(const FileState& o) const {
        return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
               mtime == o.mtime;
    }
};

// The reason a commit gives for a file that is no longer as its step expects it.
inline constexpr const char* kChangedByAnotherProgram = "The file was changed by another program";

// What a step of a set asks of the file it replaces or removes.
struct Expect {
    // The state the file must still be in right before the first rename (not asked when empty).
    std::optional<FileState> state;
    // The writer's own file (a backup): it is replaced whatever its own permission bits, as
    // deleting it and creating it anew would; a symbolic link there is replaced, never followed.
    bool ownFile = false;
};

// Files replaced and removed together. Stage and StageRemoval prepare every step without
// changing any target; Commit then carries the steps out in the order they were staged, back to
// back. A commit that fails leaves every file as it was before it. Temporary files of steps not
// carried out are removed when the set ends.
class ReplaceSet {
public:
    ReplaceSet() = default;
    ~ReplaceSet();
    ReplaceSet(const ReplaceSet&) = delete;
    ReplaceSet& operator=(const ReplaceSet&) = delete;

    // Writes the new content of `path` into a flushed temporary file. The result keeps the
    // permission bits and, where allowed, the owner and group of the file it replaces; `mode`
    // overrides the bits; a new file gets 0666 less the umask. A symbolic link is followed, so
    // the file it points to is replaced (not so for the writer's own file). An existing file that this process may not write (by
    // its effective ids) and does not own is refused with EACCES, unless it is the writer's own.
    // Returns 0 or the errno of the failure. `written`, when given, receives the state of the
    // new file as it was written.
    int Stage(const std::string& path, const FillFile& fill,
              std::optional<mode_t> mode = std::nullopt, struct stat* written = nullptr,
              const Expect& expect = {});
    // `path` is deleted in its turn at the commit; a missing file is no failure then.
    void StageRemoval(const std::string& path, const Expect& expect = {});

    struct Outcome {
        int err = 0;         // 0: every step was carried out
        std::string file;    // the file whose step failed or was refused
        std::string reason;  // in words that complete "<file>: ..."
    };
    // Carries out every staged step. Before the first rename it refuses (renaming nothing) a
    // step that the system would refuse (see RenameRefusal) or whose file is no longer in the
    // state the step expects: compared in full right before the file is kept, and again right
    // before the renames against the state the keep left. Should a rename fail all the same,
    // every step already done is put back in reverse order; the reason then names each file
    // that could not be put back and the name its previous content stays kept under.
    Outcome Commit();

private:
    struct Step {
        std::string target;  // the path, for messages
        int dir = -1;        // its folder as opened when staged
        std::string name;    // its name in that folder
        std::string temp;    // the name of the new content; empty for a removal
        Expect expect;
        int replaced = -1;  // the file being replaced, held open until every step is done
        int dirErr = 0;     // why the folder could not be opened
        // During the commit: whether the target was there, and the name under which it is
        // kept (a replaced file) or to which it was moved (a removed one).
        bool existed = false;
        std::string kept{};
        bool moveAside = false;  // kept by a rename away together with its own rename
        bool done = false;
        bool keptIsOnlyCopy = false;  // the undo could not put the kept original back
    };
    Outcome Refused() const;
    Outcome KeepOriginals();
    Outcome ExpectLinked(const Step& s);
    Outcome CheckStates();
    Outcome RenameAll();
    int MoveAsideAndRename(Step& s);
    Outcome Undo(Outcome failure);
    FileState StateOf(const Step& s) const;
    void CloseReplaced();
    std::vector<Step> steps_;
};

// Replaces (or creates) `path` alone: a set of one step. Returns 0 or the errno of the failure;
// no temporary file is left behind.
int ReplaceFile(const std::string& path, const FillFile& fill,
                std::optional<mode_t> mode = std::nullopt, struct stat* written = nullptr);

// Why the system will refuse to rename a new file over `path` or to rename `path` away, though
// the folder may be written: in words that complete "<file>: ...", e.g. "it is immutable"; the
// empty text when nothing speaks against it. Looks at the sticky bit of the folder (only the
// owner of the file or of the folder, or a process allowed to act as any owner, may remove an
// entry) and at immutable and append-only files and folders. With `followLink` false a symbolic
// link at `path` is judged as itself (its name is what is replaced).
std::string RenameRefusal(const std::string& path, bool followLink = true);

// Tidies in `dir` what this machine's writers left for the files `names` (their letter case
// aside) when their process no longer runs (or may, when its state cannot be asked: then it
// stays). Temporary files of new content go; only regular files named exactly as the writer
// names them are candidates. A kept original is put back when its target is missing, and goes
// only when its content is not the only copy: its target, or another file of `names`, holds the
// same bytes. Returns how many files were removed or put back.
int RemoveStaleTemps(const std::string& dir, const std::vector<std::string>& names);

// Writes all of `size` bytes, retrying after interruptions.
bool WriteAll(int fd, const char* data, std::size_t size);
// Copies what is left to read of `from` to `to`.
bool CopyAll(int from, int to);

// A plain description of an errno value, e.g. "Permission denied".
std::string ErrorText(int err);

// The directory part of a path ("." when there is none) and the last component.
std::string DirectoryOf(const std::string& path);
std::string LastComponent(const std::string& path);

namespace testing {
// Test seams of ReplaceSet::Commit. The fault is asked right before each rename with the
// rename's target: an errno makes that rename fail as if the system refused it, 0 lets it go
// on. The hook runs once the originals are kept, right before the last look at the files'
// states; the keep hook right after each original is kept, with its target. An empty function
// removes the seam.
void SetRenameFault(std::function<int(const std::string& target)> fault);
void SetBeforeCommitCheck(std::function<void()> hook);
void SetAfterKeep(std::function<void(const std::string& target)> hook);
}  // namespace testing

}  // namespace kivo::platform
