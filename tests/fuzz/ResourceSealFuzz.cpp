// A bundle's CodeResources is untrusted: reading the seal, compiling its rules and matching paths
// against them must not crash, hang or take unbounded memory, and the deciding rule is always
// one of the seal's own.
#include "platform/codesign/ResourceRules.h"
#include "platform/codesign/ResourceSeal.h"
#include "tests/fuzz/Fuzz.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto seal = bw::codesign::parseResourceSeal({data, size});
    if (!seal) {
        return 0;
    }
    const auto rules = bw::codesign::ResourceRules::compile(seal->rules);
    if (!rules) {
        return 0;
    }
    for (const std::string path :
         {"Info.plist", "Base.lproj/Main.storyboardc/Info.plist", "Frameworks/Kit.framework",
          "PlugIns/Share.appex/Share", "a/b/../c d", ""}) {
        if (const auto* rule = rules->match(path)) {
            const auto& all = rules->rules();
            bw::fuzz::require(std::find(all.begin(), all.end(), *rule) != all.end());
        }
    }
    return 0;
}
