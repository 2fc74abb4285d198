#include "streams/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "streams/error.h"

namespace kx {
namespace {

std::function<bool(const std::filesystem::path&)>& FaultHook() {
  static std::function<bool(const std::filesystem::path&)> hook;
  return hook;
}

std::string Describe(const std::filesystem::path& p, int err) {
  return "Не удалось записать файл " + p.string() + ": " + SystemReason(err);
}

bool& Durable() {
  static bool durable = true;
  return durable;
}

}  // namespace

void SetDurableWrites(bool durable) { Durable() = durable; }

void SetWriteFaultForTesting(std::function<bool(const std::filesystem::path&)> hook) {
  FaultHook() = std::move(hook);
}

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
  std::string pattern = target_.string() + ".~XXXXXX";
  fd_ = ::mkstemp(pattern.data());
  if (fd_ < 0) {
    error_ = "Не удалось создать файл " + target_.string() + ": " + SystemReason(errno);
    return;
  }
  temp_ = pattern;
  // mkstemp makes the file owner-only; give it the mode the target has, or the usual one.
  struct stat st{};
  mode_t mode;
  if (::stat(target_.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd_, mode);
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFile::Write(std::span<const uint8_t> bytes) {
  if (fd_ < 0) throw Error(ErrorCode::CreateFailed, error_);
  if (FaultHook() && FaultHook()(target_)) throw Error(ErrorCode::WriteFailed, Describe(target_, ENOSPC));
  const uint8_t* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Error(ErrorCode::WriteFailed, Describe(target_, errno));
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
}

void AtomicFile::Commit() {
  if (fd_ < 0) throw Error(ErrorCode::CreateFailed, error_);
  if (Durable() && ::fsync(fd_) != 0) throw Error(ErrorCode::WriteFailed, Describe(target_, errno));
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) throw Error(ErrorCode::WriteFailed, Describe(target_, errno));
  if (::rename(temp_.c_str(), target_.c_str()) != 0)
    throw Error(ErrorCode::WriteFailed, Describe(target_, errno));
  committed_ = true;
  if (!Durable()) return;
  // Make the rename itself durable.
  std::filesystem::path dir = target_.parent_path();
  int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  AtomicFile file(path);
  if (!file.ok()) throw Error(ErrorCode::CreateFailed, file.error());
  file.Write(bytes);
  file.Commit();
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out,
                   std::string* error) {
  out.clear();
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    if (error) *error = SystemReason(errno);
    return false;
  }
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (error) *error = S_ISDIR(st.st_mode) ? SystemReason(EISDIR) : SystemReason(errno);
    ::close(fd);
    return false;
  }
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < out.size()) {
    ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (error) *error = SystemReason(errno);
      ::close(fd);
      out.clear();
      return false;
    }
    if (n == 0) break;  // the file shrank while we read it
    got += static_cast<size_t>(n);
  }
  out.resize(got);
  ::close(fd);
  return true;
}

}  // namespace kx
