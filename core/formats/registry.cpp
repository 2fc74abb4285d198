// The table of known formats, indexed by GameFormat. A format is one row: its names, its
// dialog texts, its reader, and its writer (none for read-only formats).
#include <array>

#include "streams/error.h"

#include "formats/class_format.h"
#include "formats/elkware.h"
#include "formats/format.h"
#include "formats/gameloft.h"
#include "formats/handy_games.h"
#include "formats/macrospace.h"
#include "formats/plain_text.h"
#include "formats/sumea.h"

namespace kx {
namespace {

const std::array<FormatInfo, kFormatCount> kFormats = {{
    {kMacrospace, "macrospace", "Macrospace", "Macrospace(lang.dat)", "lang.dat", ReadMacrospace,
     WriteMacrospace, true, nullptr},
    {kElkware, "elkware", "Elkware", "elkware(sr.ini)", "sr.ini", ReadElkware, WriteElkware, false, nullptr},
    {kGameloftOld, "gameloft-old", "Gameloft (old)", "Gameloft(str.bin)", "str.bin",
     ReadGameloftOld, nullptr, true, nullptr},
    {kGameloftNew, "gameloft-new", "Gameloft (new)", "Gameloft(new)", "*.*", ReadGameloftNew,
     WriteGameloftNew, true, nullptr},
    {kHandyGames, "handygames", "Handy-Games", "Handy-Games(*.lng)", "*.lng", ReadHandyGames,
     WriteHandyGames, false, HandyGamesOutputText},
    {kSumea, "sumea", "IFone", "Sumea", "*.lng", ReadSumea, WriteSumea, true, SumeaOutputText},
    {kPlainText, "text", "Текстовые файлы", "Текстовые файлы(*.txt)", "*.txt", ReadPlainText,
     WritePlainText, false, nullptr},
    {kClassFormat, "class", "class-файлы", "Class-файлы(*.class)", "*.class", ReadClassFormat,
     WriteClassFormat, true, nullptr},
}};

}  // namespace

std::span<const FormatInfo> AllFormats() { return kFormats; }

const FormatInfo* FindFormat(int id) {
  if (id < 0 || id >= kFormatCount) return nullptr;
  return &kFormats[static_cast<size_t>(id)];
}

const FormatInfo* FindFormatByName(const std::string& name) {
  for (const FormatInfo& f : kFormats)
    if (name == f.cliName || name == std::to_string(f.id)) return &f;
  return nullptr;
}

std::string EntryError(size_t index, const std::string& what) {
  return "Строка " + std::to_string(index) + ": " + what;
}

void WriteEntryUTF(TDataOutput& out, const std::string& text, size_t index) {
  try {
    out.WriteUTF(text);
  } catch (const Error& e) {
    throw Error(e.code(), EntryError(index, e.what()));
  }
}

}  // namespace kx
