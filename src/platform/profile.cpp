#include "platform/profile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/atomicfile.h"
#include "platform/changewatch.h"
#include "platform/fileops.h"
#include "platform/inidoc.h"

namespace kivo::profile {

namespace {

using Signature = platform::FileState;

Signature SignatureOf(const struct stat& st) { return Signature::Of(st); }

constexpr const char* kReadOnly = "the file is read-only";

// One file as last seen, with its parsed copy.
struct Entry {
    std::string key;   // the cache key: the resolved path, lexically normalised
    std::string path;  // the file on disk
    std::unique_ptr<IniDoc> doc;
    bool exists = false;  // something is on disk under that path
    int unusable = 0;     // errno that keeps it from being read as a file (a directory, ...)
    mode_t mode = 0;
    Signature sig;
    // Inside a batch: changed since the batch began, and the state of the file when it was
    // first changed (the commit refuses to replace a file someone else changed meanwhile).
    bool dirty = false;
    Signature sigAtTouch;
    // Change notification: while the file is watched and no event came since the last look at
    // the disk (same generation), the copy is known to match the disk without looking.
    bool watched = false;
    int fileWatch = -1;
    ino_t watchedIno = 0;
    std::uint64_t checkedGeneration = 0;
    // The operation in which the copy was last checked against the disk (0: none).
    std::uint64_t checkedInOperation = 0;
};

// Where a caller's path leads on disk.
struct Found {
    std::string path;
    bool exists = false;
    struct stat st {};
};

std::string_view Readable(std::string_view s) { return s.substr(0, s.find('\0')); }

bool HoldsLineBreak(std::string_view s) {
    for (char c : s) {
        if (c == '\r' || c == '\n' || c == '\0') return true;
    }
    return false;
}

// One pair of matching quotes around the whole text is not part of it.
bool StripQuotes(std::string_view& s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
        s = s.substr(1, s.size() - 2);
        return true;
    }
    return false;
}

// The buffer of `size` bytes holds at most size-1 bytes and a NUL; a quoted text that would
// exactly fill it loses one byte more.
void CutToBuffer(std::string_view text, bool quoted, std::size_t size, std::string& out) {
    std::size_t take = std::min(text.size(), size - 1);
    if (quoted && size == text.size() + 1 && take > 0) --take;
    out.assign(text.data(), take);
}

// A name list that does not fit (with one byte to spare) keeps its first size-2 bytes and a NUL.
std::string CutList(std::string full, std::size_t size) {
    if (size == 0) return {};
    if (full.size() == 1 || size > full.size()) return full;
    full.resize(size >= 2 ? size - 2 : 0);
    full.push_back('\0');
    return full;
}

// A copy that a batch's commit puts in place with its files.
struct Copy {
    std::string from, to;
    bool readOnly = false;
};

// A file that a batch's commit deletes, and the state in which the batch saw it.
struct Deletion {
    std::string path;
    Signature seen;
};

// The state of the entry's file as its copy was read (missing: no file).
Signature DiskState(const Entry& e) {
    if (e.dirty) return e.sigAtTouch;
    return e.exists ? e.sig : Signature{};
}

class Engine {
public:
    // The entry of a caller's path, matching what the disk holds (a file changed in the
    // running batch is not checked: the batch's copy is the truth until the commit; a file
    // already checked in the running operation is not checked again).
    Entry& Acquire(const std::string& given) {
        if (operation_ != 0 && last_ && last_->checkedInOperation == operation_ &&
            given == lastGiven_)
            return *last_;
        auto fast = fast_.find(given);
        if (fast != fast_.end() &&
            (fast->second->dirty ||
             (operation_ != 0 && fast->second->checkedInOperation == operation_)))
            return Remember(given, *fast->second);
        const std::uint64_t generation = watch_.Poll();
        if (fast != fast_.end() && fast->second->watched && fast->second->doc &&
            fast->second->checkedGeneration == generation) {
            fast->second->checkedInOperation = operation_;
            return Remember(given, *fast->second);
        }
        if (depth_ == 0 && cache_.size() > kMaxFiles) Clear();

        // Watch before looking, so that a change made after the look raises an event.
        bool watched =
            watch_.WatchName(platform::DirectoryOf(given), platform::LastComponent(given));
        Found f = Resolve(given);
        const std::string key = Normal(f.path);
        auto& slot = cache_[key];
        if (!slot) {
            slot = std::make_unique<Entry>();
            slot->key = key;
        }
        Entry& e = *slot;
        if (watched && f.exists && (!watch_.IsLive(e.fileWatch) || e.watchedIno != f.st.st_ino)) {
            e.fileWatch = watch_.WatchFile(f.path);
            e.watchedIno = f.st.st_ino;
            watched = e.fileWatch >= 0;
            f = Resolve(given);  // what changed before the watch stood
        }
        if (!e.dirty) Refresh(e, f);
        e.watched = watched;
        e.checkedGeneration = generation;
        e.checkedInOperation = operation_;
        if (fast_.size() > kMaxPaths) fast_.clear();
        fast_[given] = &e;
        return Remember(given, e);
    }

    // Inside an operation: the entry is looked at afresh at its next use (the process itself may
    // have changed the file other than through these functions).
    void Recheck(Entry& e) { e.checkedInOperation = 0; }

    void BeginOperation() {
        if (operationDepth_++ == 0) operation_ = ++operations_;
    }
    void EndOperation() {
        if (operationDepth_ > 0 && --operationDepth_ == 0) operation_ = 0;
    }

    // Whether a write may change the entry's file: it must be a readable regular file with a
    // write bit (or one the running batch may write read-only), or be missing from a folder
    // that exists.
    bool Writable(const Entry& e) const {
        // Inside a batch a read-only file takes writes into its copy: a batch that leaves its
        // bytes as they are never has to replace it, and the commit refuses one it changes.
        if (e.exists)
            return !e.unusable && !e.doc->IsUtf16() &&
                   ((e.mode & 0222) != 0 || depth_ > 0 || throughReadOnly_.contains(e.key));
        struct stat st {};
        return ::stat(platform::DirectoryOf(e.path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    // After an edit of the entry's copy: outside a batch the file is written at once.
    bool Changed(Entry& e) {
        if (depth_ > 0) {
            if (!e.dirty) {
                e.sigAtTouch = DiskState(e);
                e.dirty = true;
                touched_.push_back(&e);
            }
            return true;
        }
        if (Flush(e) != 0) {
            Drop(e);  // the copy holds an edit the disk does not
            return false;
        }
        return true;
    }

    void Begin() { ++depth_; }

    void CopyAtCommit(std::string from, std::string to, bool readOnly) {
        if (depth_ > 0) copies_.push_back({std::move(from), std::move(to), readOnly});
    }
    void DeleteAtCommit(const std::string& path) {
        if (depth_ > 0) deletions_.push_back({path, DiskState(Acquire(path))});
    }
    void WriteThroughReadOnly(const std::string& path) {
        if (depth_ > 0) throughReadOnly_.insert(Acquire(path).key);
    }

    // Two phases: every new file is written and flushed beside its target, and only then are
    // they all renamed, back to back, so that a crash leaves at most the gap between two renames.
    CommitResult Commit() {
        CommitResult r;
        if (depth_ == 0 || --depth_ > 0) return r;
        if (aborted_) {
            r = {false, {}, "The changes were abandoned"};
            DropTouched();
            return r;
        }
        struct Staged {
            Entry* entry;
            std::string bytes;
            struct stat written;
        };
        std::vector<Staged> staged;
        platform::ReplaceSet set;
        auto failed = [&](const std::string& file, std::string reason) {
            r = {false, file, std::move(reason)};
        };
        for (const Copy& c : copies_) {
            if (int err = StageCopy(set, c)) {
                failed(c.to, platform::ErrorText(err));
                break;
            }
        }
        for (Entry* e : touched_) {
            if (!r.ok) break;
            // Nothing inside the batch changes the file on disk, not even its attributes: any
            // change, of the change time too, is another program's. Asked again right before
            // the renames.
            const Signature now = Signature::At(e->path);
            if (now != e->sigAtTouch) {
                failed(e->path, platform::kChangedByAnotherProgram);
                break;
            }
            Staged s{e, e->doc->Serialize(), {}};
            // The batch may have set every key to the value it had: then the file stays as it is.
            if (now.exists && DiskHolds(e->path, s.bytes)) continue;
            if (now.exists && ReadOnlyHere(*e)) {
                failed(e->path, kReadOnly);
                break;
            }
            if (int err = set.Stage(e->path, BytesFill(s.bytes), std::nullopt, &s.written, {now})) {
                failed(e->path, platform::ErrorText(err));
                break;
            }
            staged.push_back(std::move(s));
        }
        if (r.ok) {
            for (const Deletion& d : deletions_) set.StageRemoval(d.path, {d.seen});
            const platform::ReplaceSet::Outcome out = set.Commit();
            if (out.err) failed(out.file, out.reason);
        }
        if (r.ok) {
            for (Staged& s : staged) AfterWrite(*s.entry, std::move(s.bytes), s.written);
            for (Entry* e : touched_) e->dirty = false;
            // A deleted file's copy no longer matches the disk.
            for (const Deletion& d : deletions_)
                if (auto it = cache_.find(Normal(d.path)); it != cache_.end()) Recheck(*it->second);
        }
        touched_.clear();
        copies_.clear();
        deletions_.clear();
        throughReadOnly_.clear();
        if (!r.ok) Clear();
        return r;
    }

    void Abort() {
        if (depth_ == 0) return;
        if (--depth_ > 0) {
            aborted_ = true;  // the outermost end of the batch drops everything
            return;
        }
        DropTouched();
    }

    // Why the file of a caller's path, which exists, cannot be read; empty when it can.
    std::string WhyUnreadable(const std::string& given) {
        const Entry& e = Acquire(given);
        if (!e.exists || !e.unusable) return {};
        if (S_ISDIR(e.mode)) return "it is a directory";
        if (!S_ISREG(e.mode)) return "it is not a regular file";
        return "it cannot be read (" + platform::ErrorText(e.unusable) + ")";
    }

    bool InBatch() const { return depth_ > 0; }
    bool InOperation() const { return operation_ != 0; }

    // Whether the running batch would replace or delete the file: its copy's bytes differ from
    // the disk's, or it is to be deleted.
    bool Changes(const std::string& path) {
        if (depth_ == 0) return false;
        Entry& e = Acquire(path);
        for (const Deletion& d : deletions_)
            if (Normal(d.path) == e.key) return true;
        if (!e.dirty) return false;
        return !DiskState(e).exists || !DiskHolds(e.path, e.doc->Serialize());
    }

    void Clear() {
        last_ = nullptr;
        fast_.clear();
        cache_.clear();
        touched_.clear();
        copies_.clear();
        deletions_.clear();
        throughReadOnly_.clear();
        caseAlias_.clear();
        watch_.Reset();
    }

private:
    static constexpr std::size_t kMaxFiles = 256;
    static constexpr std::size_t kMaxPaths = 4096;

    void Drop(Entry& e) {
        last_ = nullptr;
        fast_.clear();
        cache_.erase(e.key);
    }

    Entry& Remember(const std::string& given, Entry& e) {
        if (operation_ != 0) {
            last_ = &e;
            lastGiven_ = given;
        }
        return e;
    }

    std::string Normal(const std::string& p) {
        if (auto it = normal_.find(p); it != normal_.end()) return it->second;
        if (normal_.size() > kMaxPaths) normal_.clear();
        std::string n = p.empty() ? p : std::filesystem::path(p).lexically_normal().string();
        normal_.emplace(p, n);
        return n;
    }

    // The exact path when it exists, else the file whose name differs only in case.
    Found Resolve(const std::string& given) {
        Found f;
        if (::stat(given.c_str(), &f.st) == 0) {
            f.path = given;
            f.exists = true;
            return f;
        }
        if (errno == ENOENT) {
            if (auto it = caseAlias_.find(given);
                it != caseAlias_.end() && ::stat(it->second.c_str(), &f.st) == 0) {
                f.path = it->second;
                f.exists = true;
                return f;
            }
            std::string variant = fileops::ResolveCase(given);
            if (variant != given && ::stat(variant.c_str(), &f.st) == 0) {
                if (caseAlias_.size() > kMaxPaths) caseAlias_.clear();
                caseAlias_[given] = variant;
                f.path = std::move(variant);
                f.exists = true;
                return f;
            }
        }
        f.path = given;
        return f;
    }

    // Brings the entry's copy in line with what the disk holds; re-reads only on a change.
    static void Refresh(Entry& e, const Found& f) {
        e.path = f.path;
        if (!f.exists) {
            if (!e.doc || e.exists) e.doc = std::make_unique<IniDoc>();
            e.exists = false;
            e.unusable = 0;
            return;
        }
        if (e.doc && e.exists && e.sig == SignatureOf(f.st)) return;
        e.exists = true;
        e.sig = SignatureOf(f.st);
        e.mode = f.st.st_mode;
        e.unusable = 0;
        e.doc = std::make_unique<IniDoc>();
        // What is no regular file is not even opened: a FIFO or a device may answer nothing, and
        // the open does not wait should one take the name meanwhile (a regular file's reads
        // never do).
        if (!S_ISREG(f.st.st_mode)) {
            e.unusable = S_ISDIR(f.st.st_mode) ? EISDIR : EINVAL;
            return;
        }
        int fd = ::open(f.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            e.unusable = errno;
            return;
        }
        struct stat st {};
        IniDoc::Bytes bytes;
        std::size_t got = 0;
        if (::fstat(fd, &st) != 0) {
            e.unusable = errno;
        } else if (!S_ISREG(st.st_mode)) {
            e.unusable = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            e.mode = st.st_mode;
        } else {
            // The state read is the one the open file had, not the earlier look at the path.
            e.sig = SignatureOf(st);
            e.mode = st.st_mode;
            // Room for the file as it stands and a little more, not filled: a file that grows
            // while it is read is read to its end all the same.
            std::size_t room = static_cast<std::size_t>(st.st_size) + 1;
            bytes.reset(new char[room]);
            for (;;) {
                if (got == room) {
                    IniDoc::Bytes more(new char[room * 2]);
                    std::copy(bytes.get(), bytes.get() + got, more.get());
                    bytes = std::move(more);
                    room *= 2;
                }
                ssize_t n = ::read(fd, bytes.get() + got, room - got);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) {
                    e.unusable = errno;
                    break;
                }
                if (n == 0) break;
                got += static_cast<std::size_t>(n);
            }
        }
        ::close(fd);
        if (!e.unusable) e.doc = std::make_unique<IniDoc>(std::move(bytes), got);
    }

    // A file with no write bit that the batch was not allowed to write through.
    bool ReadOnlyHere(const Entry& e) const {
        return (e.mode & 0222) == 0 && !throughReadOnly_.contains(e.key);
    }

    static platform::FillFile BytesFill(const std::string& bytes) {
        return [&bytes](int fd) { return platform::WriteAll(fd, bytes.data(), bytes.size()); };
    }

    // Whether the file holds exactly `bytes`.
    static bool DiskHolds(const std::string& path, const std::string& bytes) {
        int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return false;
        struct stat st {};
        bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                    static_cast<std::size_t>(st.st_size) == bytes.size();
        std::string disk(same ? bytes.size() : 0, '\0');
        std::size_t got = 0;
        while (same && got < disk.size()) {
            ssize_t n = ::read(fd, disk.data() + got, disk.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                same = false;
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        ::close(fd);
        return same && disk == bytes;
    }

    static int StageCopy(platform::ReplaceSet& set, const Copy& c) {
        int in = ::open(c.from.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (in < 0) return errno;
        struct stat st {};
        int err = ::fstat(in, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
        if (!err) {
            const mode_t bits = st.st_mode & 07777;
            // The copy is the writer's own file: it is replaced as deleting it and creating it
            // anew would be, whatever its own permission bits; a symbolic link there is replaced
            // itself, never followed.
            err =
                set.Stage(c.to, [in](int out) { return platform::CopyAll(in, out); },
                          c.readOnly ? bits & ~mode_t(0222) : bits, nullptr, {std::nullopt, true});
        }
        ::close(in);
        return err;
    }

    // Writes the entry's copy to its file; 0 or the errno of the failure.
    static int Flush(Entry& e) {
        std::string bytes = e.doc->Serialize();
        struct stat written {};
        int err = platform::ReplaceFile(e.path, BytesFill(bytes), std::nullopt, &written);
        if (err) return err;
        AfterWrite(e, std::move(bytes), written);
        return 0;
    }

    // The entry after its file was replaced by `bytes`, written in the state `written`.
    static void AfterWrite(Entry& e, std::string bytes, const struct stat& written) {
        // The rename changes the change time; what must match is the file just written.
        struct stat st {};
        if (::stat(e.path.c_str(), &st) != 0 ||
            !SignatureOf(st).SameContent(SignatureOf(written))) {
            e.doc.reset();  // someone else was quicker: read afresh next time
            e.exists = false;
            e.checkedInOperation = 0;
            return;
        }
        e.exists = true;
        e.sig = SignatureOf(st);
        e.mode = st.st_mode;
        // Edited lines are held beside the bytes first read; once they weigh much, start over
        // from the bytes just written.
        if (e.doc->EditedBytes() > kMaxEditedBytes)
            e.doc = std::make_unique<IniDoc>(std::move(bytes));
    }

    void DropTouched() {
        for (Entry* e : touched_) Drop(*e);
        touched_.clear();
        copies_.clear();
        deletions_.clear();
        throughReadOnly_.clear();
        aborted_ = false;
    }

    static constexpr std::size_t kMaxEditedBytes = 64 * 1024;

    std::unordered_map<std::string, std::unique_ptr<Entry>> cache_;
    std::unordered_map<std::string, std::string> normal_;     // caller's path -> normalised
    std::unordered_map<std::string, std::string> caseAlias_;  // caller's path -> case variant
    int depth_ = 0;
    bool aborted_ = false;
    std::unordered_map<std::string, Entry*> fast_;  // caller's path -> entry
    std::vector<Entry*> touched_;                   // in the order of their first change
    std::vector<Copy> copies_;                      // the commit's further steps
    std::vector<Deletion> deletions_;
    std::unordered_set<std::string> throughReadOnly_;  // entry keys
    platform::ChangeWatch watch_;
    // The running operation (0: none) and the last entry it used, by the caller's path.
    std::uint64_t operation_ = 0;
    std::uint64_t operations_ = 0;
    int operationDepth_ = 0;
    Entry* last_ = nullptr;
    std::string lastGiven_;
    std::mutex mu_;  // taken only through Locked

    friend class Locked;
};

// The one way to the engine: holds its lock for as long as it lives, so each call of this
// module takes the lock once.
class Locked {
public:
    Locked() : engine_(Instance()), lock_(engine_.mu_) {}
    Engine* operator->() const { return &engine_; }

private:
    static Engine& Instance() {
        static Engine e;
        return e;
    }
    Engine& engine_;
    std::lock_guard<std::mutex> lock_;
};

}  // namespace

std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                      std::size_t size, const std::string& path) {
    std::string out;
    if (size == 0) return out;
    if (!FindString(section, key, size, path, out)) {
        std::string_view text = Readable(def);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        const bool quoted = StripQuotes(text);
        CutToBuffer(text, quoted, size, out);
    }
    return out;
}

bool FindString(std::string_view section, std::string_view key, std::size_t size,
                const std::string& path, std::string& out) {
    if (size == 0) return false;
    const std::string_view sec = TrimBlanks(Readable(section));
    const std::string_view k = TrimBlanks(Readable(key));
    Locked en;
    const auto v = en->Acquire(path).doc->Value(sec, k);
    if (!v) return false;
    std::string_view text = *v;
    const bool quoted = StripQuotes(text);
    CutToBuffer(text, quoted, size, out);
    return true;
}

std::string GetSectionNames(std::size_t size, const std::string& path) {
    Locked en;
    return CutList(en->Acquire(path).doc->SectionNames(), size);
}

std::string GetSectionKeys(std::string_view section, std::size_t size, const std::string& path) {
    Locked en;
    // The section name of this request is matched as given, blanks included.
    return CutList(en->Acquire(path).doc->KeyNames(Readable(section)), size);
}

namespace {

// A change of one file: `edit` returns whether the copy changed. `deletion` allows a missing
// file to stay missing without any check.
template <typename Edit>
bool Update(const std::string& path, bool deletion, Edit edit) {
    Locked en;
    Entry* e = &en->Acquire(path);
    // A write outside a batch replaces the file at once: it starts from what the disk holds
    // now, so that a change another program made since the operation began is not lost.
    if (!en->InBatch() && en->InOperation()) {
        en->Recheck(*e);
        e = &en->Acquire(path);
    }
    if (!e->dirty) {
        // A file seen earlier in the operation may have been made writable, or created, by
        // this process meanwhile: before giving up on it, it is looked at again.
        if ((deletion && !e->exists) || !en->Writable(*e)) {
            en->Recheck(*e);
            e = &en->Acquire(path);
        }
        if (deletion && !e->exists) return true;
        if (!en->Writable(*e)) return false;
    }
    if (!edit(*e->doc)) return true;
    return en->Changed(*e);
}

}  // namespace

bool WriteString(std::string_view section, std::string_view key,
                 const std::optional<std::string_view>& value, const std::string& path) {
    // A line break or NUL would split the line and plant other keys or sections in the file.
    if (HoldsLineBreak(section) || HoldsLineBreak(key) || (value && HoldsLineBreak(*value)))
        return false;
    const std::string_view sec = TrimBlanks(section);
    const std::string_view k = TrimBlanks(key);
    if (!value) return Update(path, true, [&](IniDoc& d) { return d.DeleteKey(sec, k); });
    if (!IniDoc::IsWritableKey(k, *value)) return false;
    bool refused = false;
    const bool written = Update(path, false, [&](IniDoc& d) {
        refused = !d.ReadsBackAsItself(sec, k);
        return !refused && d.Set(sec, k, *value);
    });
    return written && !refused;
}

bool DeleteSection(std::string_view section, const std::string& path) {
    if (HoldsLineBreak(section)) return false;
    const std::string_view sec = TrimBlanks(section);
    return Update(path, true, [&](IniDoc& d) { return d.DeleteSection(sec); });
}

std::string WhyUnreadable(const std::string& path) { return Locked()->WhyUnreadable(path); }

platform::FileState ParsedState(const std::string& path) {
    Locked en;
    return DiskState(en->Acquire(path));
}

bool BatchChanges(const std::string& path) { return Locked()->Changes(path); }

void BeginBatch() { Locked()->Begin(); }

CommitResult CommitBatch() { return Locked()->Commit(); }

void CopyAtCommit(const std::string& from, const std::string& to, bool readOnly) {
    Locked()->CopyAtCommit(from, to, readOnly);
}

void DeleteAtCommit(const std::string& path) { Locked()->DeleteAtCommit(path); }

void WriteThroughReadOnly(const std::string& path) { Locked()->WriteThroughReadOnly(path); }

void AbortBatch() { Locked()->Abort(); }

bool InBatch() { return Locked()->InBatch(); }

Operation::Operation() { Locked()->BeginOperation(); }

Operation::~Operation() { Locked()->EndOperation(); }

void ClearCache() { Locked()->Clear(); }

}  // namespace kivo::profile
