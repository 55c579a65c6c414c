// The console program's streams for a fuzz target: standard input handed
// out in pieces of a chosen size, so that lines cross reads, and output
// kept in memory.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/streams.h"

namespace velmora::fuzz {

// Reports a broken property and stops the run, so the fuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(detail.size()), detail.data());
  std::abort();
}

class StringSink final : public cli::Sink {
 public:
  std::string text;
  bool Write(std::string_view bytes) override {
    text += bytes;
    return true;
  }
};

class PieceSource final : public cli::Source {
 public:
  PieceSource(std::string_view text, std::size_t piece) : text_(text), piece_(piece) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, piece_, text_.size()});
    text_.copy(buffer, n);
    text_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view text_;
  std::size_t piece_;
};

class FuzzSystem final : public cli::System {
 public:
  FuzzSystem(std::string_view input, std::size_t piece) : in_(input, piece) {}
  StringSink out, err;
  cli::Sink& Out() override { return out; }
  cli::Sink& Err() override { return err; }
  cli::Source& In() override { return in_; }

 private:
  PieceSource in_;
};

}  // namespace velmora::fuzz
