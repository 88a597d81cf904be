#pragma once
// The installer settings that [OEM Install] (and [SetupType] Type) hold, in the order in which the
// load reads them. The save writes the same keys in this order, Type left out of [OEM Install];
// the interactive preset reads a subset from the product's section of KIVO.ini.

#include <span>
#include <string>

#include "store/model.h"

namespace modTAVIN::keys {

struct OemKey {
    const char* key;
    std::string OemInstall::*text;  // set for a text setting
    bool OemInstall::*flag;         // set for a YES/NO setting
    bool def;                       // default of a flag
    bool inSetupType;               // [SetupType] rather than [OEM Install]
    bool productDefault;            // taken over from the product's factory values
};

// Every key, in the load's order: [OEM Install] with [SetupType] Type between PDFOutputFolder
// and IgnoreInstallWarnings.
std::span<const OemKey> OemKeys();

inline constexpr const char* kOemInstall = "OEM Install";
inline constexpr const char* kSetupType = "SetupType";

}  // namespace modTAVIN::keys
