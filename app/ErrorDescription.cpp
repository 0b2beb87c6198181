#include "app/ErrorDescription.h"

namespace bw {

QString errorDescription(const std::exception& error) {
    // Every error of the system describes itself to the user through what().
    return QString::fromUtf8(error.what());
}

} // namespace bw
