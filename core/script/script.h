#pragma once
// Scripts that describe an unknown binary string layout: a list of commands that read bytes,
// numbers, UTF-8 strings and byte arrays from a resource into numbered variables, add string
// variables to the list of texts, and repeat a stretch of commands.
//
// Texts: a command's DisplayText, the lines of the test output and script names are UTF-8, as
// the windows and the command-line tool show them. The value of a string variable is document
// text (Windows-1251, read by TDataInput::ReadUTF) and is turned into UTF-8 only where a line
// of the test output quotes it.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "streams/data_input.h"

namespace kx {

// The command catalogue; a command's Kind is its position here.
enum TCommandKind : int {
  kReadByte = 0,   // "Прочитать byte"
  kReadArray = 1,  // "Прочитать N байт"
  kReadShort = 2,  // "Прочитать short"
  kReadInt = 3,    // "Прочитать int"
  kReadUtf = 4,    // "Прочитать UTF8"
  kAddString = 5,  // "Добавить строку в список"
  kLoopStart = 6,  // "Начало цикла"
  kLoopEnd = 7,    // "Конец цикла"
};
inline constexpr int kCommandKindCount = 8;

// The catalogue text of a kind (UTF-8); the empty text for a kind outside 0..7.
const char* CatalogueText(int Kind);

// Pools of the parameter of kinds 1 and 6 (ParamType).
inline constexpr int kParamByte = 0;
inline constexpr int kParamShort = 1;
inline constexpr int kParamInt = 2;

// An array variable holds this many bytes; "Прочитать N байт" never reads more.
inline constexpr int kArraySize = 1001;

// One command of a script.
struct TData {
  int Kind = 0;
  // Kinds 0, 2, 3, 4: the variable read into. Kinds 1, 5, 6: the parameter's variable.
  int VarIndex = 0;
  // Kind 1: the array variable read into.
  int ArrayIndex = 0;
  bool HasParam = false;  // kinds 1, 5 and 6
  int ParamType = 0;      // kinds 1 and 6: kParamByte, kParamShort or kParamInt
  std::string DisplayText;

  bool operator==(const TData&) const = default;
};

// The storage of one variable; a variable uses only the field of its pool.
struct TType {
  uint8_t ByteValue = 0;
  int16_t ShortValue = 0;
  int32_t IntValue = 0;
  std::string StrValue;  // Windows-1251
  std::array<uint8_t, kArraySize> Bytes{};
};

// An ordered list of variables; a variable's name is the prefix and its position.
class TVariablePool {
 public:
  explicit TVariablePool(char prefix) : prefix_(prefix) {}
  char Prefix() const { return prefix_; }
  int Count() const { return static_cast<int>(vars_.size()); }
  std::string Name(int index) const { return prefix_ + std::to_string(index); }
  // Appends a variable and returns its number.
  int Add();
  // The variable with that number, or nullptr when it was never made.
  TType* Find(int index);
  const TType* Find(int index) const;

 private:
  char prefix_;
  std::vector<std::unique_ptr<TType>> vars_;
};

// The five pools. They only grow while the program runs: all scripts share them, and a
// variable stays when the command that made it is deleted.
class TVariablePools {
 public:
  TVariablePool b{'b'};  // byte variables, made by kind 0
  TVariablePool s{'s'};  // short variables, made by kind 2
  TVariablePool i{'i'};  // int variables, made by kind 3
  TVariablePool u{'u'};  // string variables, made by kind 4
  TVariablePool a{'a'};  // array variables, made by kind 1

  // The pool with that name prefix, or nullptr.
  TVariablePool* ByPrefix(char prefix);
  const TVariablePool* ByPrefix(char prefix) const;

  // Makes the command of a catalogue entry and, for kinds 0 to 4, the variable it reads into.
  // A kind outside 0..7 gives a command with Kind set and nothing else.
  TData NewCommand(int Kind);

  // The names offered as a command's parameter: for kind 5 the string variables; for kinds 1
  // and 6 the byte, then the short, then the int variables. Empty for other commands.
  std::vector<std::string> ParameterNames(const TData& Command) const;
};

// Gives a command with a parameter the variable called Name and renews its DisplayText.
// Returns false and changes nothing when the name is empty, malformed, or of a pool the
// command cannot take (kind 5 takes "u", kinds 1 and 6 take "b", "s" and "i").
bool SetParameter(TData& Command, const std::string& Name);

// The name of a command's parameter variable ("b0", "s3", "u1"), empty when it has none.
std::string ParameterName(const TData& Command);

// The name of the variable a command reads into ("b0", "a2"), empty for kinds 5 to 7.
std::string ResultName(const TData& Command);

// ---- Step tester --------------------------------------------------------------------------

// Where the test writes its lines (the editor's test output, or the command-line tool).
class TTestOutput {
 public:
  virtual ~TTestOutput() = default;
  virtual void Clear() = 0;
  virtual void AddLine(const std::string& utf8) = 0;
};

enum class TStepResult {
  Stepped,     // a command ran; the test goes on
  Finished,    // the last command ran and the test was reset
  OpenFailed,  // the resource could not be opened at the first step; the test stays idle
  Refused,     // nothing to run (empty script, no command at Current, a variable never made):
               // the test was reset and the reason is the last line of the output
};

// The state of one test. One loop register (LoopStart, LoopCounter, LoopActive) per test, not
// one per loop.
class TScriptTest {
 public:
  bool Running = false;
  std::unique_ptr<TDataInput> Input;
  int Current = 0;
  int LoopStart = 0;
  // Wide enough for an int parameter minus 1 without overflow.
  int64_t LoopCounter = 0;
  bool LoopActive = false;
  // The row the last step executed (the editor selects it), -1 when none.
  int LastRow = -1;

  // One step: opens the resource when no test runs, executes the command at Current and moves
  // on; resets the test after the last command.
  TStepResult Step(const std::vector<TData>& Script, TVariablePools& Pools,
                   const std::filesystem::path& ResourceName, TTestOutput& Output);
  // Ends a running test: closes the input and clears the output. Does nothing when idle.
  void Reset(TTestOutput& Output);

 private:
  void Execute(const TData& Command, TVariablePools& Pools, TTestOutput& Output);
  // Why the command cannot run (a variable never made), or empty.
  static std::string MissingVariable(const TData& Command, const TVariablePools& Pools);
};

enum class TRunEnd { Finished, OpenFailed, Refused, StepLimit };

struct TRunResult {
  TRunEnd End = TRunEnd::Finished;
  int64_t Steps = 0;
};

// Steps a script from its first command until the test resets at its end, or until MaxSteps
// steps have run (the test is then reset). `Test` must be idle; it is idle afterwards.
TRunResult RunUntilReset(TScriptTest& Test, const std::vector<TData>& Script, TVariablePools& Pools,
                         const std::filesystem::path& ResourceName, TTestOutput& Output,
                         int64_t MaxSteps);

}  // namespace kx
