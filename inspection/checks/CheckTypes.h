#pragma once

#include "model/Finding.h"

#include <QString>
#include <vector>

namespace bw {

// The two lists every rule check appends to.
using Findings = std::vector<Finding>;
using PassedChecks = std::vector<QString>;

} // namespace bw
