// Waiting for the program under test: every wait polls with a timeout.
#pragma once

#include <chrono>
#include <functional>

namespace velmora::gui {

using namespace std::chrono_literals;

// Polls `done` until it holds or `timeout` passes; true when it held.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5000ms);

}  // namespace velmora::gui
