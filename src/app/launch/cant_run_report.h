#pragma once

#include <functional>

namespace kavelune {

inline constexpr const char* kCantRunText = "Can't run Kavelune! Do you want to go to Jivora?";

// The program cannot run (no launch file, no window): the single-instance lock is let go
// first, so a copy started while the question is still on the screen is not turned away
// silently; then the user is asked whether to go to the web site, which `openSite` shows.
void reportCantRun(const std::function<void()>& releaseLock, const std::function<void()>& openSite);

}  // namespace kavelune
