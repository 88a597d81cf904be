#pragma once
// Running a piece of a test in a forked child process: as another user, or where a fault would
// make it wait for ever.

#include <functional>
#include <string>

// The unprivileged user and group the child may become.
inline constexpr unsigned kNobodyId = 65534;

// Runs `body` in a child process (as kNobodyId when `asNobody`) that is stopped after `seconds`:
// the text `body` returns; "child hung" when the child had to be stopped, "child failed" when it
// ended otherwise than by returning from `body`.
std::string InChildProcess(const std::function<std::string()>& body, bool asNobody = false,
                           unsigned seconds = 10);

// Why another user cannot reach `path`: this process is not root, or a folder above it may not
// be passed; empty when it can.
std::string ClosedToOthers(const std::string& path);
