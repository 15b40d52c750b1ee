// Resource maps: which bundle's resources come first when a panel looks one up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace qor::core {

using ResFileRefNum = std::int16_t;

// The application's own map, always open and current until something else is made current.
inline constexpr ResFileRefNum kSystemResFile = 0;
inline constexpr ResFileRefNum kNoResFile = -1;

ResFileRefNum CurResFile();
// Makes an open map current; a number that names no open map changes nothing.
void UseResFile(ResFileRefNum refNum);

// Opening a map does not make it current, so a host's current map survives a panel
// opening its own. Closing the current map makes the application's map current.
ResFileRefNum openResourceMap(const std::filesystem::path& resourceDirectory);
void closeResourceMap(ResFileRefNum refNum);

// Where a resource lookup searches: the current map, then the maps opened before it, most
// recent first. Empty when the application's map is current.
std::vector<ResFileRefNum> resourceMapSearchOrder();

// The resources folder of an open map; nothing for the application's map or a closed one.
std::optional<std::filesystem::path> resourceMapDirectory(ResFileRefNum refNum);

}  // namespace qor::core
