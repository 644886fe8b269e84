#pragma once
// File permissions as an ordinary user meets them. Tests run as root in CI, and root writes
// read-only files; a child process that gives up the capabilities that bypass permission
// checks sees them as a user does.
#include <functional>

namespace testsupport {

// Runs body in a forked child without those capabilities and returns its exit status
// (body's result), or -1 when the child did not exit normally.
int RunWithoutFileOverride(const std::function<int()>& body);

}  // namespace testsupport
