// The program's own console, pipes and files, and its arguments in UTF-8.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/streams.h"

namespace velmora::cli {

class StandardSystem final : public System {
 public:
  StandardSystem();
  ~StandardSystem() override;
  StandardSystem(const StandardSystem&) = delete;
  StandardSystem& operator=(const StandardSystem&) = delete;

  Sink& Out() override;
  Sink& Err() override;
  Source& In() override;
  bool ReplaceFile(const std::string& from, const std::string& to, std::string& error) override;
  bool IsStandardInput(const std::string& path) override;

 private:
  struct Streams;
  std::unique_ptr<Streams> streams_;
};

// The arguments after the program's name, in UTF-8 (on Windows read from
// the wide command line, whatever the code page).
std::vector<std::string> Arguments(int argc, char** argv);

}  // namespace velmora::cli
