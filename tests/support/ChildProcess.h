#pragma once
// A piece of a test run in a forked child: as another user, or where a fault would hang it.

#include <functional>
#include <string>

inline constexpr unsigned kNobodyId = 65534;  // the unprivileged user and group

// What `body` returns, run in a child (as kNobodyId when `asNobody`) stopped after ten seconds:
// "child hung" when it had to be stopped, "child failed" when it ended otherwise.
std::string InChildProcess(const std::function<std::string()>& body, bool asNobody = false);

// Why another user cannot reach `path`, empty when it can.
std::string ClosedToOthers(const std::string& path);
