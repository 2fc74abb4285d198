#include "script/script.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <utility>

#include "streams/cp1251.h"

namespace kx {
namespace {

constexpr const char* kCatalogue[kCommandKindCount] = {
    "Прочитать byte", "Прочитать N байт",         "Прочитать short", "Прочитать int",
    "Прочитать UTF8", "Добавить строку в список", "Начало цикла",    "Конец цикла",
};

constexpr char kParamPrefix[3] = {'b', 's', 'i'};

std::string ArrayText(int arrayIndex, const std::string& param) {
  return "a" + std::to_string(arrayIndex) + " := Прочитать [" + param + "] байт";
}

std::string LoopText(const std::string& param) { return "Начало цикла, [" + param + "] раз"; }

std::string AddText(int index) { return "Добавить строку в список: u" + std::to_string(index); }

// The value of the parameter of kinds 1 and 6: a byte as 0..255, a short and an int signed.
// The variable has been checked to exist.
int64_t ParameterValue(const TData& c, const TVariablePools& pools) {
  switch (c.ParamType) {
    case kParamShort:
      return pools.s.Find(c.VarIndex)->ShortValue;
    case kParamInt:
      return pools.i.Find(c.VarIndex)->IntValue;
    default:
      return pools.b.Find(c.VarIndex)->ByteValue;
  }
}

const TVariablePool* ParameterPool(const TData& c, const TVariablePools& pools) {
  if (c.Kind == kAddString) return &pools.u;
  switch (c.ParamType) {
    case kParamByte:
      return &pools.b;
    case kParamShort:
      return &pools.s;
    case kParamInt:
      return &pools.i;
    default:
      return nullptr;
  }
}

}  // namespace

const char* CatalogueText(int Kind) {
  return Kind >= 0 && Kind < kCommandKindCount ? kCatalogue[Kind] : "";
}

int TVariablePool::Add() {
  vars_.push_back(std::make_unique<TType>());
  return Count() - 1;
}

TType* TVariablePool::Find(int index) {
  return index >= 0 && index < Count() ? vars_[static_cast<size_t>(index)].get() : nullptr;
}

const TType* TVariablePool::Find(int index) const {
  return index >= 0 && index < Count() ? vars_[static_cast<size_t>(index)].get() : nullptr;
}

TVariablePool* TVariablePools::ByPrefix(char prefix) {
  return const_cast<TVariablePool*>(std::as_const(*this).ByPrefix(prefix));
}

const TVariablePool* TVariablePools::ByPrefix(char prefix) const {
  switch (prefix) {
    case 'b':
      return &b;
    case 's':
      return &s;
    case 'i':
      return &i;
    case 'u':
      return &u;
    case 'a':
      return &a;
    default:
      return nullptr;
  }
}

TData TVariablePools::NewCommand(int Kind) {
  TData c;
  c.Kind = Kind;
  switch (Kind) {
    case kReadByte:
      c.VarIndex = b.Add();
      c.DisplayText = b.Name(c.VarIndex) + " := Прочитать byte";
      break;
    case kReadArray:
      c.ArrayIndex = a.Add();
      c.HasParam = true;
      c.DisplayText = ArrayText(c.ArrayIndex, "b0");
      break;
    case kReadShort:
      c.VarIndex = s.Add();
      c.DisplayText = s.Name(c.VarIndex) + " := Прочитать short";
      break;
    case kReadInt:
      c.VarIndex = i.Add();
      c.DisplayText = i.Name(c.VarIndex) + " := Прочитать int";
      break;
    case kReadUtf:
      c.VarIndex = u.Add();
      c.DisplayText = u.Name(c.VarIndex) + " := Прочитать UTF8";
      break;
    case kAddString:
      c.HasParam = true;
      c.DisplayText = AddText(0);
      break;
    case kLoopStart:
      c.HasParam = true;
      c.DisplayText = LoopText("b0");
      break;
    case kLoopEnd:
      c.DisplayText = kCatalogue[kLoopEnd];
      break;
    default:
      break;
  }
  return c;
}

std::vector<std::string> TVariablePools::ParameterNames(const TData& Command) const {
  std::vector<std::string> names;
  auto addAll = [&names](const TVariablePool& pool) {
    for (int k = 0; k < pool.Count(); ++k) names.push_back(pool.Name(k));
  };
  if (!Command.HasParam) return names;
  if (Command.Kind == kAddString) {
    addAll(u);
  } else if (Command.Kind == kReadArray || Command.Kind == kLoopStart) {
    addAll(b);
    addAll(s);
    addAll(i);
  }
  return names;
}

bool SetParameter(TData& Command, const std::string& Name) {
  if (!Command.HasParam || Name.size() < 2) return false;
  int number = 0;
  const char* first = Name.data() + 1;
  const char* last = Name.data() + Name.size();
  if (*first < '0' || *first > '9') return false;  // no sign, no blank
  auto [end, ec] = std::from_chars(first, last, number);
  if (ec != std::errc() || end != last) return false;

  const char prefix = Name[0];
  if (Command.Kind == kAddString) {
    if (prefix != 'u') return false;
    Command.VarIndex = number;
    Command.DisplayText = AddText(number);
    return true;
  }
  if (Command.Kind != kReadArray && Command.Kind != kLoopStart) return false;
  const char* p = std::find(std::begin(kParamPrefix), std::end(kParamPrefix), prefix);
  if (p == std::end(kParamPrefix)) return false;
  Command.VarIndex = number;
  Command.ParamType = static_cast<int>(p - kParamPrefix);
  const std::string canonical = prefix + std::to_string(number);
  Command.DisplayText =
      Command.Kind == kReadArray ? ArrayText(Command.ArrayIndex, canonical) : LoopText(canonical);
  return true;
}

std::string ParameterName(const TData& Command) {
  if (!Command.HasParam) return {};
  if (Command.Kind == kAddString) return "u" + std::to_string(Command.VarIndex);
  if (Command.ParamType < 0 || Command.ParamType > 2) return {};
  return kParamPrefix[Command.ParamType] + std::to_string(Command.VarIndex);
}

std::string ResultName(const TData& Command) {
  switch (Command.Kind) {
    case kReadByte:
      return "b" + std::to_string(Command.VarIndex);
    case kReadArray:
      return "a" + std::to_string(Command.ArrayIndex);
    case kReadShort:
      return "s" + std::to_string(Command.VarIndex);
    case kReadInt:
      return "i" + std::to_string(Command.VarIndex);
    case kReadUtf:
      return "u" + std::to_string(Command.VarIndex);
    default:
      return {};
  }
}

// ---- Step tester --------------------------------------------------------------------------

void TScriptTest::Reset(TTestOutput& Output) {
  if (!Running) return;
  Running = false;
  Current = 0;
  LoopStart = 0;
  LoopCounter = 0;
  LoopActive = false;
  Input.reset();
  Output.Clear();
}

std::string TScriptTest::MissingVariable(const TData& c, const TVariablePools& pools) {
  const TVariablePool* pool = nullptr;
  int index = 0;
  switch (c.Kind) {
    case kReadByte:
    case kReadShort:
    case kReadInt:
    case kReadUtf:
      pool = pools.ByPrefix(ResultName(c)[0]);
      index = c.VarIndex;
      break;
    case kReadArray:
      if (!pools.a.Find(c.ArrayIndex)) return pools.a.Name(c.ArrayIndex);
      [[fallthrough]];
    case kAddString:
    case kLoopStart:
      pool = ParameterPool(c, pools);
      if (!pool) return "с типом параметра " + std::to_string(c.ParamType);
      index = c.VarIndex;
      break;
    case kLoopEnd:
      return {};
    default:
      return {};
  }
  return pool->Find(index) ? std::string() : pool->Name(index);
}

TStepResult TScriptTest::Step(const std::vector<TData>& Script, TVariablePools& Pools,
                              const std::filesystem::path& ResourceName, TTestOutput& Output) {
  LastRow = -1;
  // Refusals end the test first and then say why, so the reason stays in the output.
  auto refuse = [&](const std::string& why) {
    Reset(Output);
    Output.AddLine("Тест остановлен: " + why);
    return TStepResult::Refused;
  };
  if (Script.empty()) return refuse("скрипт пуст");

  if (!Running) {
    Output.Clear();
    Current = 0;
    LoopStart = 0;
    LoopCounter = 0;
    LoopActive = false;
    Input = std::make_unique<TDataInput>(ResourceName);
    Running = Input->Opened;
    if (!Running) {
      Input.reset();
      return TStepResult::OpenFailed;
    }
  }

  const int rows = static_cast<int>(std::min<size_t>(Script.size(), INT32_MAX));
  if (Current < 0 || Current >= rows)
    return refuse("команды " + std::to_string(static_cast<int64_t>(Current) + 1) +
                  " в скрипте нет (в нём " + std::to_string(rows) + ")");
  LastRow = Current;
  const TData& command = Script[static_cast<size_t>(Current)];
  if (command.Kind < 0 || command.Kind >= kCommandKindCount)
    return refuse("неизвестная команда в строке " + std::to_string(Current + 1));
  if (std::string missing = MissingVariable(command, Pools); !missing.empty())
    return refuse("переменная " + missing + " не создана (строка " + std::to_string(Current + 1) +
                  ")");

  Execute(command, Pools, Output);

  ++Current;
  if (Current >= rows) {
    Reset(Output);
    return TStepResult::Finished;
  }
  return TStepResult::Stepped;
}

void TScriptTest::Execute(const TData& c, TVariablePools& pools, TTestOutput& out) {
  switch (c.Kind) {
    case kReadByte: {
      uint8_t v = Input->ReadByte();
      pools.b.Find(c.VarIndex)->ByteValue = v;
      out.AddLine(ResultName(c) + " := " + std::to_string(v));
      break;
    }
    case kReadArray: {
      const int64_t asked = ParameterValue(c, pools);
      const int64_t n = std::clamp<int64_t>(asked, 0, kArraySize);
      // n never exceeds the buffer, so the read stays inside the variable.
      Input->ReadBytes(pools.a.Find(c.ArrayIndex)->Bytes.data(), static_cast<int32_t>(n));
      std::string line = ResultName(c) + " := Массив " + std::to_string(n) + " байт";
      if (n != asked)
        line += " (запрошено " + std::to_string(asked) + ", допустимо от 0 до " +
                std::to_string(kArraySize) + ")";
      out.AddLine(line);
      break;
    }
    case kReadShort: {
      int16_t v = Input->ReadShort();
      pools.s.Find(c.VarIndex)->ShortValue = v;
      out.AddLine(ResultName(c) + " := " + std::to_string(v));
      break;
    }
    case kReadInt: {
      int32_t v = Input->ReadInt();
      pools.i.Find(c.VarIndex)->IntValue = v;
      out.AddLine(ResultName(c) + " := " + std::to_string(v));
      break;
    }
    case kReadUtf: {
      TType* var = pools.u.Find(c.VarIndex);
      var->StrValue = Input->ReadUTF();
      out.AddLine(ResultName(c) + " := " + Cp1251ToUtf8(var->StrValue));
      break;
    }
    case kAddString:
      out.AddLine("В список: " + Cp1251ToUtf8(pools.u.Find(c.VarIndex)->StrValue));
      break;
    case kLoopStart:
      if (LoopActive) {
        --LoopCounter;
        if (LoopCounter < 0) LoopActive = false;
      } else {
        LoopStart = Current;
        LoopCounter = ParameterValue(c, pools) - 1;
        LoopActive = true;
      }
      break;
    case kLoopEnd:
      if (LoopActive) {
        Current = LoopStart - 1;
        out.AddLine("Конец Итерации");
      }
      break;
    default:
      break;
  }
}

TRunResult RunUntilReset(TScriptTest& Test, const std::vector<TData>& Script, TVariablePools& Pools,
                         const std::filesystem::path& ResourceName, TTestOutput& Output,
                         int64_t MaxSteps) {
  TRunResult result;
  Test.Reset(Output);
  for (;;) {
    if (result.Steps >= MaxSteps) {
      Test.Reset(Output);
      result.End = TRunEnd::StepLimit;
      return result;
    }
    TStepResult r = Test.Step(Script, Pools, ResourceName, Output);
    ++result.Steps;
    switch (r) {
      case TStepResult::Stepped:
        continue;
      case TStepResult::Finished:
        result.End = TRunEnd::Finished;
        return result;
      case TStepResult::OpenFailed:
        result.End = TRunEnd::OpenFailed;
        return result;
      case TStepResult::Refused:
        result.End = TRunEnd::Refused;
        return result;
    }
  }
}

}  // namespace kx
