// Searching and changing the copy lists: extra files and registry values of a copy-list
// section, and the pruning of empty groups. These change the model only, never a file.

#include "store/TextMatch.h"
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
    return !group.Platform.empty() && TextMatch::ContainsNoCase(group.Platform, value.Platform);
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

}  // namespace

void AddFileToBlindCopy(int16_t index, const FileEntry& file) {
    BlindCopy* record = Record(index);
    if (!record) return;

    int target = 0;
    bool alreadyThere = false;
    FileEntry* like = nullptr;
    for (int g = 1; g <= record->Groups.Count(); ++g) {
        FileGroup& group = record->Groups(g);
        if (group.Files.Empty()) {
            group.DestDir = file.DestDir;
            group.Loc = file.Loc;
        }
        if (group.DestDir != file.DestDir || group.Loc != file.Loc) continue;
        if (target == 0) target = g;
        for (FileEntry& held : group.Files) {
            if (SameFile(held, file)) {
                alreadyThere = true;
            } else if (SameFileLocation(held, file)) {
                like = &held;
            }
        }
    }

    if (like) {
        like->ExpandType = file.ExpandType;
        S().Modified = true;
        return;
    }
    if (alreadyThere) return;

    S().Modified = true;
    if (target == 0) {
        FileGroup group = NewGroup("All");
        group.DestDir = file.DestDir;
        group.Loc = file.Loc;
        record->Groups.Append(std::move(group));
        target = record->Groups.Count();
    }
    record->Groups(target).Files.Append(file);
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

    int target = 0;
    bool alreadyThere = false;
    RegEntry* like = nullptr;
    for (int g = 1; g <= record->Groups.Count(); ++g) {
        FileGroup& group = record->Groups(g);
        if (!Serves(group, value)) continue;
        if (target == 0) target = g;
        for (RegEntry& entry : group.RegEntries) {
            if (SameRegEntry(entry, value)) {
                alreadyThere = true;
            } else if (SameRegValue(entry, value)) {
                like = &entry;
            }
        }
    }

    if (like) {
        like->ValueData = value.ValueData;
        S().Modified = true;
        return;
    }
    if (alreadyThere) return;

    S().Modified = true;
    if (target == 0) {
        record->Groups.Append(NewGroup(value.Platform));
        target = record->Groups.Count();
    }
    record->Groups(target).RegEntries.Append(value);
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
