#include "platform/macho/MachOError.h"

namespace bw::macho {

std::string MachOError::description() const {
    switch (kind) {
    case Kind::unreadable:
        return detail;
    case Kind::notObjectFile:
        return "is not an object file";
    case Kind::truncated:
    case Kind::malformed:
        return "truncated or malformed object (" + detail + ")";
    }
    return detail;
}

MachOError truncated(std::string detail) {
    return {MachOError::Kind::truncated, std::move(detail)};
}

MachOError malformed(std::string detail) {
    return {MachOError::Kind::malformed, std::move(detail)};
}

} // namespace bw::macho
