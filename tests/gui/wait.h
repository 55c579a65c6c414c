// Waiting for the program under test: every wait polls with a timeout.
#pragma once

#include <chrono>
#include <functional>
#include <stdexcept>

namespace velmora::gui {

using namespace std::chrono_literals;

// Polls `done` until it holds or `timeout` passes; true when it held.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5000ms);

// Thrown when the program does not get where the next step needs it in
// time. The test stops there, with what was seen, instead of going on and
// reporting what follows from the missed step.
class NotInTime : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace velmora::gui
