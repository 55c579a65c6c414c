// Named files through the C library, with UTF-8 names on every system.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cli/streams.h"

namespace velmora::cli {
namespace {

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::FILE* Open(const std::string& utf8, bool write) {
#ifdef _WIN32
  return _wfopen(PathOf(utf8).c_str(), write ? L"wb" : L"rb");
#else
  return std::fopen(utf8.c_str(), write ? "wb" : "rb");
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

class FileSink final : public Sink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  ~FileSink() override {
    if (file_ != nullptr) {
      std::fclose(file_);
    }
  }
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
    return flushed && closed;
  }

 private:
  std::FILE* file_;
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
  std::FILE* file = Open(path, true);
  if (file == nullptr) {
    error = std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<FileSink>(file);
}

bool System::SameFile(const std::string& a, const std::string& b) {
  std::error_code ignored;
  return std::filesystem::equivalent(PathOf(a), PathOf(b), ignored);
}

}  // namespace velmora::cli
