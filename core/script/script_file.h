#pragma once
// Script files ("*.script"): UTF-8 text that keeps a list of named scripts with their commands.
//
//   kelvatrix-script 1
//   script <name>
//   <kind> [<ref>]
//   ...
//   end
//
// One "script ... end" block per script and one line per command: the catalogue kind 0..7
// and, for kinds 1, 5 and 6, the parameter written as the 1-based position, within the same
// script, of the command whose variable it is (0 or absent: the default b0 / u0). Variable
// numbers themselves are not stored: they belong to the running program's pools, so loading
// makes every command anew with NewCommand and then links the parameters with SetParameter.
// Blank lines and lines starting with "#" are ignored; blanks around a line do not count.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "script/script.h"

namespace kx {

struct TScript {
  std::string Name;  // UTF-8
  std::vector<TData> Commands;

  bool operator==(const TScript&) const = default;
};

inline constexpr const char* kScriptFileHeader = "kelvatrix-script 1";
// Bounds that keep a damaged or hostile file from making the pools grow without end (every
// array variable holds 1001 bytes).
inline constexpr size_t kMaxScriptFileBytes = 1 << 20;
inline constexpr int kMaxScriptFileCommands = 10000;

// Reads the scripts of a file's text. The whole text is checked before anything is made, so a
// damaged text throws kx::Error(BadFormat or LimitExceeded) naming the line and leaves the
// pools as they were.
std::vector<TScript> ParseScripts(std::string_view text, TVariablePools& pools);

// Reads a file; throws kx::Error(OpenFailed) naming the file when it cannot be read, and the
// errors of ParseScripts.
std::vector<TScript> LoadScriptFile(const std::filesystem::path& path, TVariablePools& pools);

// A parameter that the file cannot express: its variable is made by no command of the same
// script (it came from another script, or its command was deleted). It is written as the
// default.
struct TLostParameter {
  std::string Script;  // the script's name
  int Line = 0;        // 1-based position of the command in its script
  std::string Name;    // the parameter that was lost, e.g. "s3"
};

// The text of a file holding the scripts, in order. `lost` (when given) receives the
// parameters written as the default.
std::string FormatScripts(const std::vector<TScript>& scripts,
                          std::vector<TLostParameter>* lost = nullptr);

// Writes the file atomically; throws kx::Error (CreateFailed or WriteFailed).
void SaveScriptFile(const std::filesystem::path& path, const std::vector<TScript>& scripts,
                    std::vector<TLostParameter>* lost = nullptr);

}  // namespace kx
