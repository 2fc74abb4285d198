#include "script/script_file.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "streams/atomic_file.h"
#include "streams/cp1251.h"
#include "streams/error.h"

namespace kx {
namespace {

// What a file says about one command, before anything is made.
struct ParsedCommand {
  int kind = 0;
  int ref = 0;  // 1-based position of the command that makes the parameter; 0: the default
  int line = 0;
};

struct ParsedScript {
  std::string name;
  int line = 0;
  std::vector<ParsedCommand> commands;
};

[[noreturn]] void Damaged(int line, const std::string& why, ErrorCode code = ErrorCode::BadFormat) {
  throw Error(code, "Файл скриптов повреждён: строка " + std::to_string(line) + ": " + why);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The next blank-separated word of `s`, removed from it.
std::string_view TakeWord(std::string_view& s) {
  s = Trim(s);
  size_t end = 0;
  while (end < s.size() && !IsBlank(s[end])) ++end;
  std::string_view word = s.substr(0, end);
  s.remove_prefix(end);
  s = Trim(s);
  return word;
}

// A plain decimal number without sign; false for anything else or out of int's range.
bool ParseNumber(std::string_view word, int& value) {
  if (word.empty() || word.front() < '0' || word.front() > '9') return false;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  return ec == std::errc() && end == word.data() + word.size();
}

std::string Quote(std::string_view s) {
  constexpr size_t kShown = 40;
  std::u32string chars;
  DecodeUtf8(s, chars, true);  // the line has been checked to be UTF-8
  if (chars.size() > kShown) return "«" + EncodeUtf8(chars.substr(0, kShown)) + "…»";
  return "«" + std::string(s) + "»";
}

// Kinds that take a parameter, and the kinds of the commands whose variable fits it.
bool TakesParameter(int kind) {
  return kind == kReadArray || kind == kAddString || kind == kLoopStart;
}

bool Fits(int kind, int creatorKind) {
  if (kind == kAddString) return creatorKind == kReadUtf;
  return creatorKind == kReadByte || creatorKind == kReadShort || creatorKind == kReadInt;
}

// Whether the command at `creator` makes the variable that is `command`'s parameter.
bool MakesParameter(const TData& command, const TData& creator) {
  if (creator.VarIndex != command.VarIndex) return false;
  if (command.Kind == kAddString) return creator.Kind == kReadUtf;
  switch (command.ParamType) {
    case kParamByte:
      return creator.Kind == kReadByte;
    case kParamShort:
      return creator.Kind == kReadShort;
    case kParamInt:
      return creator.Kind == kReadInt;
    default:
      return false;
  }
}

bool IsDefaultParameter(const TData& command) {
  return command.VarIndex == 0 && (command.Kind == kAddString || command.ParamType == kParamByte);
}

void CheckReferences(const ParsedScript& script) {
  const int count = static_cast<int>(script.commands.size());
  for (const ParsedCommand& c : script.commands) {
    if (c.ref == 0) continue;
    if (c.ref > count)
      Damaged(c.line, "ссылка на команду " + std::to_string(c.ref) + ", а в скрипте " +
                          Quote(script.name) + " команд " + std::to_string(count));
    const int creator = script.commands[static_cast<size_t>(c.ref - 1)].kind;
    if (!Fits(c.kind, creator))
      Damaged(c.line, "команда " + std::to_string(c.ref) + " скрипта не создаёт " +
                          (c.kind == kAddString ? "строковую переменную"
                                                : "переменную byte, short или int"));
  }
}

std::vector<ParsedScript> Parse(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<ParsedScript> scripts;
  bool header = false;
  bool inScript = false;
  int lineNo = 0;
  int total = 0;
  for (size_t pos = 0; pos <= text.size();) {
    ++lineNo;
    const size_t nl = std::min(text.find('\n', pos), text.size());
    const std::string_view raw = text.substr(pos, nl - pos);
    pos = nl + 1;
    std::u32string chars;
    if (!DecodeUtf8(raw, chars, true)) Damaged(lineNo, "текст не в кодировке UTF-8");
    std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '#') continue;

    std::string_view rest = line;
    std::string_view word = TakeWord(rest);
    if (!header) {
      if (word != "kelvatrix-script")
        Damaged(lineNo, std::string("нет заголовка «") + kScriptFileHeader + "»");
      int version = 0;
      if (!ParseNumber(rest, version) || version != 1)
        Damaged(lineNo, "версия " + Quote(rest) + " не поддерживается");
      header = true;
    } else if (word == "script") {
      if (inScript)
        Damaged(lineNo, "скрипт " + Quote(scripts.back().name) + " (строка " +
                            std::to_string(scripts.back().line) + ") не закрыт словом end");
      if (rest.empty()) Damaged(lineNo, "у скрипта нет названия");
      scripts.push_back({std::string(rest), lineNo, {}});
      inScript = true;
    } else if (word == "end") {
      if (!inScript) Damaged(lineNo, "end вне скрипта");
      if (!rest.empty()) Damaged(lineNo, "лишнее после end: " + Quote(rest));
      CheckReferences(scripts.back());
      inScript = false;
    } else {
      ParsedCommand c;
      c.line = lineNo;
      if (!ParseNumber(word, c.kind)) Damaged(lineNo, "непонятная строка " + Quote(line));
      if (!inScript) Damaged(lineNo, "команда вне скрипта");
      if (c.kind >= kCommandKindCount)
        Damaged(lineNo, "нет команды с номером " + std::to_string(c.kind) + " (есть от 0 до 7)");
      if (!rest.empty()) {
        std::string_view refWord = TakeWord(rest);
        if (!ParseNumber(refWord, c.ref))
          Damaged(lineNo, "параметр должен быть номером команды: " + Quote(refWord));
        if (!TakesParameter(c.kind) && c.ref != 0)
          Damaged(lineNo, "у команды " + std::to_string(c.kind) + " нет параметра");
        if (!rest.empty()) Damaged(lineNo, "лишнее в строке: " + Quote(rest));
      }
      if (++total > kMaxScriptFileCommands)
        Damaged(lineNo, "в файле больше " + std::to_string(kMaxScriptFileCommands) + " команд",
                ErrorCode::LimitExceeded);
      scripts.back().commands.push_back(c);
    }
  }
  if (!header) Damaged(1, std::string("нет заголовка «") + kScriptFileHeader + "»");
  if (inScript)
    Damaged(scripts.back().line, "скрипт " + Quote(scripts.back().name) + " не закрыт словом end");
  return scripts;
}

}  // namespace

std::vector<TScript> ParseScripts(std::string_view text, TVariablePools& pools) {
  const std::vector<ParsedScript> parsed = Parse(text);
  // Everything is checked; from here on nothing can fail, so the pools change only now.
  std::vector<TScript> scripts;
  scripts.reserve(parsed.size());
  for (const ParsedScript& p : parsed) {
    TScript script{p.name, {}};
    script.Commands.reserve(p.commands.size());
    for (const ParsedCommand& c : p.commands) script.Commands.push_back(pools.NewCommand(c.kind));
    for (size_t k = 0; k < p.commands.size(); ++k) {
      const int ref = p.commands[k].ref;
      if (ref == 0) continue;
      SetParameter(script.Commands[k], ResultName(script.Commands[static_cast<size_t>(ref - 1)]));
    }
    scripts.push_back(std::move(script));
  }
  return scripts;
}

std::vector<TScript> LoadScriptFile(const std::filesystem::path& path, TVariablePools& pools) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxScriptFileBytes)
    throw Error(ErrorCode::LimitExceeded, "Файл скриптов " + path.string() + " больше " +
                                              std::to_string(kMaxScriptFileBytes) + " байт");
  std::vector<uint8_t> bytes;
  std::string reason;
  if (!ReadWholeFile(path, bytes, &reason))
    throw Error(ErrorCode::OpenFailed, "Не удалось открыть файл " + path.string() + ": " + reason);
  if (bytes.size() > kMaxScriptFileBytes)
    throw Error(ErrorCode::LimitExceeded, "Файл скриптов " + path.string() + " больше " +
                                              std::to_string(kMaxScriptFileBytes) + " байт");
  return ParseScripts(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      pools);
}

std::string FormatScripts(const std::vector<TScript>& scripts, std::vector<TLostParameter>* lost) {
  std::string out = std::string(kScriptFileHeader) + "\n";
  for (const TScript& script : scripts) {
    // A name is one line of the file.
    std::string name = script.Name;
    for (char& ch : name)
      if (ch == '\n' || ch == '\r') ch = ' ';
    out += "\nscript " + name + "\n";
    for (size_t k = 0; k < script.Commands.size(); ++k) {
      const TData& c = script.Commands[k];
      out += std::to_string(c.Kind);
      if (c.HasParam) {
        size_t creator = 0;
        while (creator < script.Commands.size() && !MakesParameter(c, script.Commands[creator]))
          ++creator;
        if (creator < script.Commands.size()) {
          out += " " + std::to_string(creator + 1);
        } else if (!IsDefaultParameter(c) && lost) {
          lost->push_back({script.Name, static_cast<int>(k + 1), ParameterName(c)});
        }
      }
      out += "\n";
    }
    out += "end\n";
  }
  return out;
}

void SaveScriptFile(const std::filesystem::path& path, const std::vector<TScript>& scripts,
                    std::vector<TLostParameter>* lost) {
  const std::string text = FormatScripts(scripts, lost);
  WriteFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace kx
