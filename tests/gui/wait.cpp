#include "tests/gui/wait.h"

#include <thread>

namespace velmora::gui {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(2ms);  // poll interval
  }
  return true;
}

}  // namespace velmora::gui
