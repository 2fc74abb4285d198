#pragma once

namespace kx {

// The known formats, in the order of the "Известные форматы" group and of the open dialog's
// filter rows 2 to 9.
enum GameFormat : int {
  kMacrospace = 0,
  kElkware = 1,
  kGameloftOld = 2,
  kGameloftNew = 3,
  kHandyGames = 4,
  kSumea = 5,
  kPlainText = 6,
  kClassFormat = 7,
};
inline constexpr int kFormatCount = 8;

}  // namespace kx
