// Named files through the C library, with UTF-8 names on every system.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "cli/streams.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace velmora::cli {
namespace {

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::FILE* Open(const std::string& utf8, bool write, std::string_view mode = {}) {
  if (mode.empty()) {
    mode = write ? "wb" : "rb";
  }
#ifdef _WIN32
  const std::wstring wide_mode(mode.begin(), mode.end());
  return _wfopen(PathOf(utf8).c_str(), wide_mode.c_str());
#else
  return std::fopen(utf8.c_str(), std::string(mode).c_str());
#endif
}

class FileSource final : public Source {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  ~FileSource() override { std::fclose(file_); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t got = std::fread(buffer, 1, size, file_);
    if (got == 0 && std::ferror(file_) != 0) {
      failed = true;
    }
    return got;
  }

 private:
  std::FILE* file_;
};

// A new file, created only when no file has the name, with the permissions
// of `like` when that exists.
std::FILE* CreateNew(const std::string& utf8, const std::string& like) {
#ifdef _WIN32
  (void)like;
  const int fd = _wopen(PathOf(utf8).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                        _S_IREAD | _S_IWRITE);
  return fd < 0 ? nullptr : _fdopen(fd, "wb");
#else
  struct stat old {};
  const mode_t mode = ::stat(like.c_str(), &old) == 0 ? old.st_mode & 07777 : 0666;
  const int fd = ::open(utf8.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd >= 0 && mode != 0666) {
    ::fchmod(fd, mode);  // as the file replaced was, whatever the umask
  }
  return fd < 0 ? nullptr : ::fdopen(fd, "wb");
#endif
}

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(::getpid());
#endif
}

// A device such as NUL or CON on Windows: written as it is, never replaced.
bool IsDeviceName(const std::filesystem::path& path) {
#ifdef _WIN32
  std::wstring stem = path.stem().wstring();
  for (wchar_t& c : stem) {
    c = static_cast<wchar_t>(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c);
  }
  if (stem == L"CON" || stem == L"NUL" || stem == L"PRN" || stem == L"AUX") {
    return true;
  }
  return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) &&
         stem[3] >= L'1' && stem[3] <= L'9';
#else
  (void)path;
  return false;
#endif
}

class FileSink final : public Sink {
 public:
  // Writes `file` directly, or, with a `temporary` name, the temporary file
  // that replaces `target` when finished.
  FileSink(std::FILE* file, System* system, std::string temporary, std::string target)
      : file_(file),
        system_(system),
        temporary_(std::move(temporary)),
        target_(std::move(target)) {}
  ~FileSink() override { Abandon(); }
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  bool Write(std::string_view bytes) override {
    return file_ != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  }
  // A full disk often shows only when the last buffer goes out.
  bool Finish() override {
    if (file_ == nullptr) {
      return false;
    }
    const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) {
      Abandon();
      return false;
    }
    if (temporary_.empty()) {
      return true;
    }
    std::string error;
    if (!system_->ReplaceFile(temporary_, target_, error)) {
      Abandon();
      return false;
    }
    temporary_.clear();
    return true;
  }
  void Abandon() override {
    if (file_ != nullptr) {
      std::fclose(file_);
      file_ = nullptr;
    }
    if (!temporary_.empty()) {
      std::error_code ignored;
      std::filesystem::remove(PathOf(temporary_), ignored);
      temporary_.clear();
    }
  }

 private:
  std::FILE* file_;
  System* system_;
  std::string temporary_;  // empty once it has replaced the target, or when there is none
  std::string target_;
};

}  // namespace

std::unique_ptr<Source> System::OpenInput(const std::string& path, std::string& error) {
  std::FILE* file = Open(path, false);
  if (file == nullptr) {
    error = std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<FileSource>(file);
}

std::unique_ptr<Sink> System::OpenOutput(const std::string& path, std::string& error) {
  std::filesystem::path target = PathOf(path);
  std::error_code failed;
  const std::filesystem::file_status status = std::filesystem::status(target, failed);
  const bool exists = std::filesystem::exists(status);
  if ((exists && !std::filesystem::is_regular_file(status)) || IsDeviceName(target)) {
    // A device or a pipe (-o /dev/stdout) is written as it is.
    std::FILE* file = Open(path, true);
    if (file == nullptr) {
      error = std::strerror(errno);
      return nullptr;
    }
    return std::make_unique<FileSink>(file, this, std::string(), std::string());
  }
  if (exists) {
    // A file that may not be written is refused now, not replaced later;
    // appending nothing leaves it as it is.
    std::FILE* probe = Open(path, true, "ab");
    if (probe == nullptr) {
      error = std::strerror(errno);
      return nullptr;
    }
    std::fclose(probe);
    if (std::filesystem::is_symlink(target, failed)) {
      target = std::filesystem::canonical(target, failed);  // the file linked to is replaced
    }
  }
  const std::u8string target_name = target.u8string();
  const std::string target_utf8(target_name.begin(), target_name.end());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = target_utf8 + ".velmora-" + std::to_string(ProcessId()) + "-" +
                            std::to_string(attempt) + ".tmp";
    if (std::FILE* file = CreateNew(temporary, target_utf8)) {
      return std::make_unique<FileSink>(file, this, std::move(temporary), target_utf8);
    }
    if (errno != EEXIST) {
      break;
    }
  }
  error = std::strerror(errno);
  return nullptr;
}

bool System::ReplaceFile(const std::string& from, const std::string& to, std::string& error) {
  std::error_code failed;
  std::filesystem::rename(PathOf(from), PathOf(to), failed);
  error = failed.message();
  return !failed;
}

bool System::SameFile(const std::string& a, const std::string& b) {
  std::error_code ignored;
  return std::filesystem::equivalent(PathOf(a), PathOf(b), ignored);
}

bool System::IsStandardInput(const std::string&) { return false; }

}  // namespace velmora::cli
