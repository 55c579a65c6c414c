#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/standard.h"

namespace velmora::cli {
namespace {

class DescriptorSink final : public Sink {
 public:
  explicit DescriptorSink(int fd) : fd_(fd) {}
  bool Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t wrote = ::write(fd_, bytes.data(), bytes.size());
      if (wrote < 0) {
        if (errno == EINTR) {
          continue;
        }
        return false;
      }
      bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
  }

 private:
  int fd_;
};

class DescriptorSource final : public Source {
 public:
  explicit DescriptorSource(int fd) : fd_(fd) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    while (true) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) {
        return static_cast<std::size_t>(got);
      }
      if (errno != EINTR) {
        failed = true;
        return 0;
      }
    }
  }

 private:
  int fd_;
};

}  // namespace

struct StandardSystem::Streams {
  DescriptorSink out{STDOUT_FILENO};
  DescriptorSink err{STDERR_FILENO};
  DescriptorSource in{STDIN_FILENO};
};

StandardSystem::StandardSystem() : streams_(std::make_unique<Streams>()) {}
StandardSystem::~StandardSystem() = default;
Sink& StandardSystem::Out() { return streams_->out; }
Sink& StandardSystem::Err() { return streams_->err; }
Source& StandardSystem::In() { return streams_->in; }

bool StandardSystem::ReplaceFile(const std::string& from, const std::string& to,
                                 std::string& error) {
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

bool StandardSystem::IsStandardInput(const std::string& path) {
  struct stat in {};
  struct stat named {};
  return ::fstat(STDIN_FILENO, &in) == 0 && ::stat(path.c_str(), &named) == 0 &&
         in.st_dev == named.st_dev && in.st_ino == named.st_ino;
}

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace velmora::cli
