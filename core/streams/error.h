#pragma once
// One error vocabulary for the whole core: a code that tests assert, and the Russian message
// (UTF-8) that the windows and the command-line tool show as it is.
#include <stdexcept>
#include <string>

namespace kx {

enum class ErrorCode {
  OpenFailed,      // a file could not be opened or read
  CreateFailed,    // an output file could not be created
  WriteFailed,     // writing or renaming an output failed
  TextTooLong,     // a text does not fit its field
  BadFormat,       // the bytes do not follow the layout
  Unsupported,     // the format has no writer
  LimitExceeded,   // a count or size beyond what the format allows
  VerifyFailed,    // a written file does not read back as meant
};

class Error : public std::runtime_error {
 public:
  Error(ErrorCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
  ErrorCode code() const { return code_; }

 private:
  ErrorCode code_;
};

// Messages the user sees, shared by the windows and the command-line tool.
namespace msg {
inline constexpr const char* kOpenFailed = "Не удалось открыть файл";
inline constexpr const char* kErrorTitle = "Ошибка";
inline constexpr const char* kUnsupportedFormat = "Файл данного типа не поддерживается.";
inline constexpr const char* kCheckUpdates = "Проверьте обновление программы на ";
inline constexpr const char* kWebSite = "https://kelvatrix.example.org";
inline constexpr const char* kClassSaveFailed = "Возникла ошибка при сохранении .class-файла";
inline constexpr const char* kAppTitle = "Перевод мобильных игр";
}  // namespace msg

// The reason the system gives for the last failed call (errno), in a form fit for a message.
std::string SystemReason(int err);

}  // namespace kx
