// Running a piece of a test that might block in a forked child with a time
// limit, so that a regression that blocks fails the test instead of hanging it.
#pragma once

#include <chrono>
#include <functional>

// What RunInBoundedChild returns when the limit passed (the child is killed then).
constexpr int ChildTimedOut = -2;

// Runs body in a forked child and waits at most limit for it to end. Returns the
// child's exit code (body's result), 1000 + the signal that ended it, or
// ChildTimedOut. The limit is far above any normal run: it only ends a blocked child.
int RunInBoundedChild(const std::function<int()> &body,
                      std::chrono::seconds limit = std::chrono::seconds(60));
