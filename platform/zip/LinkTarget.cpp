#include "platform/zip/LinkTarget.h"

namespace bw::zip {

bool linkTargetStaysInside(std::string_view target, std::size_t linkDepth) {
    if (target.empty() || target.front() == '/' || target.find('\0') != std::string_view::npos) {
        return false;
    }
    std::size_t ascents = 0;
    bool descended = false;
    std::size_t start = 0;
    while (start <= target.size()) {
        const std::size_t slash = target.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? target.size() : slash;
        const std::string_view component = target.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".") {
            continue;
        }
        if (component != "..") {
            descended = true;
        } else if (descended || ++ascents > linkDepth) {
            return false;
        }
    }
    return true;
}

} // namespace bw::zip
