#include "store/SectionKeys.h"

#include <filesystem>
#include <system_error>

#include "platform/fileops.h"
#include "platform/profile.h"

namespace modTAVIN {

namespace {

// The list as the engine gives it, whole. A list is never longer than the file on disk (plus its
// closing NUL), but inside a batch the parsed copy may have grown; a list that fills the buffer
// may have been cut, so it is asked for again with twice the room.
std::string WholeKeyList(const std::string& section, const std::string& file) {
    std::error_code ec;
    auto onDisk = std::filesystem::file_size(kivo::fileops::ResolveCase(file), ec);
    std::size_t size = (ec ? 0 : static_cast<std::size_t>(onDisk)) + 2;
    if (size < 4096) size = 4096;
    for (;;) {
        std::string list = kivo::profile::GetSectionKeys(section, size, file);
        if (list.size() + 1 < size) return list;
        size *= 2;
    }
}

}  // namespace

std::size_t SectionKeyListBytes(const std::string& section, const std::string& file) {
    std::string list = WholeKeyList(section, file);
    // Without the closing NUL; a list without names is that NUL alone.
    return list.empty() ? 0 : list.size() - 1;
}

std::vector<std::string> SectionKeyNames(const std::string& section, const std::string& file) {
    std::string list = WholeKeyList(section, file);
    std::vector<std::string> names;
    std::size_t start = 0;
    // Every name ends at its NUL; the last NUL closes the list.
    while (start + 1 < list.size()) {
        std::size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        names.emplace_back(list, start, end - start);
        start = end + 1;
    }
    return names;
}

}  // namespace modTAVIN
