#pragma once

#include "platform/core/Result.h"
#include "platform/macho/MachOError.h"

namespace bw::macho {

template <typename T> using Result = bw::Result<T, MachOError>;

} // namespace bw::macho
