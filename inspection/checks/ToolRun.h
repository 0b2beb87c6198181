#pragma once

#include "inspection/CommandRunner.h"

#include <optional>

namespace bw {

// The path of the tool `name` in `toolDirectory`.
QString toolPath(const QString& toolDirectory, const char* name);

// Runs a tool for a rule check: a launch failure, a time-out or a stop gives no result instead of
// an error, because checks never fail the scan (the scan itself notices a stop at its next
// checkpoint).
std::optional<CommandResult> runForCheck(const QString& executable, const QStringList& arguments,
                                         std::stop_token stop);

} // namespace bw
