// Searching and changing the copy lists: extra files, destination folders and registry values
// of a copy-list section, and the pruning of empty groups. These change the model only, never a
// file.

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/asciicase.h"
#include "store/Util.h"
#include "store/modTAVIN.h"

namespace modTAVIN {

bool SameFileLocation(const FileEntry& a, const FileEntry& b) {
    return a.DestDir == b.DestDir && a.Loc == b.Loc && a.FileName == b.FileName;
}

bool SameFile(const FileEntry& a, const FileEntry& b) {
    return SameFileLocation(a, b) && a.ExpandType == b.ExpandType;
}

bool SameRegValue(const RegEntry& a, const RegEntry& b) {
    return a.Platform == b.Platform && a.ParentKey == b.ParentKey && a.Key == b.Key &&
           a.ValueName == b.ValueName && a.ValueType == b.ValueType;
}

bool SameRegEntry(const RegEntry& a, const RegEntry& b) {
    return SameRegValue(a, b) && a.ValueData == b.ValueData;
}

namespace {

// The record at index, or null for an index outside the list (nothing is then changed).
BlindCopy* Record(int16_t index) {
    auto& copies = S().BlindCopies;
    if (index < 1 || index > copies.Count()) return nullptr;
    return &copies(index);
}

// A group serves a registry value when its platform list names the value's platform. A group
// without a platform serves nothing.
bool Serves(const FileGroup& group, const RegEntry& value) {
    return !group.Platform.empty() &&
           kivo::platform::ContainsIgnoreAsciiCase(group.Platform, value.Platform);
}

FileGroup NewGroup(const std::string& platform) {
    FileGroup group;
    group.PlatformList.Append(platform);
    group.Platform = platform;
    group.LanguageList.Append("All");
    group.Language = "All";
    return group;
}

// Removes the first entry of `list` that `same` matches with `item`; true when one was removed.
template <class T, class Same>
bool RemoveFirst(OneBasedList<T>& list, const T& item, Same same) {
    for (int i = 1; i <= list.Count(); ++i) {
        if (same(list(i), item)) {
            list.RemoveAt(i);
            return true;
        }
    }
    return false;
}

// What the shared placement below needs of each kind of entry: its list in a group, the test for
// "already there", the test for a like entry (same place, other payload) and the payload a like
// entry takes over.
OneBasedList<FileEntry>& EntriesOf(FileGroup& group, const FileEntry&) { return group.Files; }
OneBasedList<RegEntry>& EntriesOf(FileGroup& group, const RegEntry&) { return group.RegEntries; }
bool AlreadyThere(const FileEntry& held, const FileEntry& file) { return SameFile(held, file); }
bool AlreadyThere(const RegEntry& held, const RegEntry& value) { return SameRegEntry(held, value); }
bool IsLike(const FileEntry& held, const FileEntry& file) { return SameFileLocation(held, file); }
bool IsLike(const RegEntry& held, const RegEntry& value) { return SameRegValue(held, value); }
void TakePayload(FileEntry& held, const FileEntry& file) { held.ExpandType = file.ExpandType; }
void TakePayload(RegEntry& held, const RegEntry& value) { held.ValueData = value.ValueData; }

// Puts item into the first group of the record that accepts it, or into a new group from
// newGroup when none does. A like entry in any accepting group (the last one met) takes the
// item's payload instead, and an entry already there leaves the model as it is. `accepts` is
// asked of every group in order, so it may adjust a group as the walk meets it.
template <class Entry, class Accepts, class NewGroup>
void PlaceInFirstAcceptingGroup(BlindCopy& record, const Entry& item, Accepts accepts,
                                NewGroup newGroup) {
    int target = 0;
    bool alreadyThere = false;
    Entry* like = nullptr;
    for (int g = 1; g <= record.Groups.Count(); ++g) {
        FileGroup& group = record.Groups(g);
        if (!accepts(group)) continue;
        if (target == 0) target = g;
        for (Entry& held : EntriesOf(group, item)) {
            if (AlreadyThere(held, item)) {
                alreadyThere = true;
            } else if (IsLike(held, item)) {
                like = &held;
            }
        }
    }

    if (like) {
        TakePayload(*like, item);
        S().Modified = true;
        return;
    }
    if (alreadyThere) return;

    S().Modified = true;
    if (target == 0) {
        record.Groups.Append(newGroup());
        target = record.Groups.Count();
    }
    EntriesOf(record.Groups(target), item).Append(item);
}

bool StartsNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Util::FoldCp1252(static_cast<unsigned char>(text[i])) !=
            Util::FoldCp1252(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

// destDir is the folder or lies below it.
bool InFolder(const std::string& destDir, const std::string& folder) {
    return StartsNoCase(destDir, folder) &&
           (destDir.size() == folder.size() || destDir[folder.size()] == '\\');
}

// The files of the record's groups whose destination is the folder or lies below it, as the
// record is now.
std::vector<FileEntry> FilesInFolder(int16_t index, const std::string& folder) {
    std::vector<FileEntry> files;
    const BlindCopy* record = Record(index);
    if (!record) return files;
    for (const FileGroup& g : record->Groups) {
        if (!InFolder(g.DestDir, folder)) continue;
        for (const FileEntry& f : g.Files) files.push_back(f);
    }
    return files;
}

}  // namespace

void AddFileToBlindCopy(int16_t index, const FileEntry& file) {
    BlindCopy* record = Record(index);
    if (!record) return;
    // A group without files takes the file's place, whether or not it becomes the target.
    auto accepts = [&file](FileGroup& group) {
        if (group.Files.Empty()) {
            group.DestDir = file.DestDir;
            group.Loc = file.Loc;
        }
        return group.DestDir == file.DestDir && group.Loc == file.Loc;
    };
    PlaceInFirstAcceptingGroup(*record, file, accepts, [&file] {
        FileGroup group = NewGroup("All");
        group.DestDir = file.DestDir;
        group.Loc = file.Loc;
        return group;
    });
}

void RemoveFileFromBlindCopy(int16_t index, const FileEntry& file) {
    BlindCopy* record = Record(index);
    if (!record) return;
    for (FileGroup& group : record->Groups) {
        if (RemoveFirst(group.Files, file, SameFileLocation)) S().Modified = true;
    }
    RemoveEmptyGroups();
}

bool FindRegEntry(int16_t index, const RegEntry& value, std::string* valueData) {
    const BlindCopy* record = Record(index);
    if (!record) return false;
    bool found = false;
    // Every match is visited: the last one's data is the one returned.
    for (const FileGroup& group : record->Groups) {
        if (!Serves(group, value)) continue;
        for (const RegEntry& entry : group.RegEntries) {
            if (!SameRegValue(entry, value)) continue;
            found = true;
            if (valueData) *valueData = entry.ValueData;
        }
    }
    return found;
}

void SetRegEntry(int16_t index, const RegEntry& value) {
    BlindCopy* record = Record(index);
    if (!record) return;
    PlaceInFirstAcceptingGroup(
        *record, value, [&value](const FileGroup& group) { return Serves(group, value); },
        [&value] { return NewGroup(value.Platform); });
}

void RemoveRegEntry(int16_t index, const RegEntry& value) {
    BlindCopy* record = Record(index);
    if (!record) return;
    for (FileGroup& group : record->Groups) {
        if (!Serves(group, value)) continue;
        if (RemoveFirst(group.RegEntries, value, SameRegValue)) S().Modified = true;
    }
    RemoveEmptyGroups();
}

bool MoveDestFolder(int16_t index, const std::string& oldFolder, const std::string& newFolder) {
    const std::vector<FileEntry> files = FilesInFolder(index, oldFolder);
    // The deepest destination below the folder grows as much as the folder's own path.
    std::size_t longest = newFolder.size();
    for (const FileEntry& f : files) {
        if (InFolder(f.DestDir, oldFolder))
            longest = std::max(longest, newFolder.size() + f.DestDir.size() - oldFolder.size());
    }
    if (longest > static_cast<std::size_t>(Util::kValueChars)) return false;
    for (const FileEntry& f : files) {
        RemoveFileFromBlindCopy(index, f);
        FileEntry moved = f;
        if (InFolder(f.DestDir, oldFolder))
            moved.DestDir = newFolder + f.DestDir.substr(oldFolder.size());
        AddFileToBlindCopy(index, moved);
    }
    return true;
}

void RemoveDestFolder(int16_t index, const std::string& folder) {
    for (const FileEntry& f : FilesInFolder(index, folder)) RemoveFileFromBlindCopy(index, f);
}

void RemoveEmptyGroups() {
    // Pruning alone is no change the user made: Modified stays as it is.
    for (BlindCopy& record : S().BlindCopies) {
        OneBasedList<FileGroup> kept;
        for (FileGroup& group : record.Groups) {
            if (!group.IsEmpty()) kept.Append(std::move(group));
        }
        record.Groups = std::move(kept);
    }
}

}  // namespace modTAVIN
