// The console program's world in memory: standard streams and named files
// as strings, input handed out in pieces of a chosen size.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/streams.h"

namespace velmora::cli {

class StringSink final : public Sink {
 public:
  explicit StringSink(std::string& text) : text_(text) {}
  bool Write(std::string_view bytes) override {
    text_ += bytes;
    return true;
  }

 private:
  std::string& text_;
};

// Hands out its text a few bytes at a time, so that lines cross reads.
class StringSource final : public Source {
 public:
  explicit StringSource(std::string text, std::size_t chunk = 1 << 20)
      : text_(std::move(text)), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, text_.size() - at_});
    text_.copy(buffer, n, at_);
    at_ += n;
    return n;
  }

 private:
  std::string text_;
  std::size_t chunk_;
  std::size_t at_ = 0;
};

// A named file's new text, which replaces the old one only when finished.
class ReplacingSink final : public Sink {
 public:
  explicit ReplacingSink(std::string& file) : file_(file) {}
  bool Write(std::string_view bytes) override {
    text_ += bytes;
    return true;
  }
  bool Finish() override {
    file_ = text_;
    return true;
  }

 private:
  std::string& file_;
  std::string text_;
};

class MemorySystem final : public System {
 public:
  std::string out, err, in;
  std::map<std::string, std::string> files;
  std::string in_file;  // the named file that standard input is, if any

  Sink& Out() override { return out_; }
  Sink& Err() override { return err_; }
  // Standard input holds `in`, handed out `in_chunk` bytes at a time.
  Source& In() override {
    if (!in_) {
      in_ = std::make_unique<StringSource>(in, in_chunk);
    }
    return *in_;
  }
  std::size_t in_chunk = 1 << 20;
  std::unique_ptr<Source> OpenInput(const std::string& path, std::string& error) override {
    if (!files.contains(path)) {
      error = "no such file";
      return nullptr;
    }
    return std::make_unique<StringSource>(files[path]);
  }
  std::unique_ptr<Sink> OpenOutput(const std::string& path, std::string&) override {
    return std::make_unique<ReplacingSink>(files[path]);
  }
  bool SameFile(const std::string& a, const std::string& b) override { return a == b; }
  bool IsStandardInput(const std::string& path) override { return path == in_file; }

 private:
  StringSink out_{out};
  StringSink err_{err};
  std::unique_ptr<StringSource> in_;
};

struct Outcome {
  int status;
  std::string out, err;
};

inline Outcome RunCli(const std::vector<std::string>& args, MemorySystem& system) {
  const int status = Run(args, system);
  return {status, system.out, system.err};
}

inline Outcome RunCli(const std::vector<std::string>& args) {
  MemorySystem system;
  return RunCli(args, system);
}

}  // namespace velmora::cli
