#pragma once

#include <QString>
#include <exception>

namespace bw {

// The user-facing text of any error the pipeline meets.
QString errorDescription(const std::exception& error);

} // namespace bw
