// A provisioning profile is a CMS message from a build we did not make: its signed content either
// comes out, and is read as a property list like any other, or the message fails with a CMS error.
// The same bytes as a detached signature must fail or verify cleanly too.
#include "platform/cms/CmsError.h"
#include "platform/cms/SignedData.h"
#include "platform/plist/PlistValue.h"
#include "tests/fuzz/Fuzz.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view der(reinterpret_cast<const char*>(data), size);
    try {
        const std::string content = bw::cms::signedContent(der);
        (void)bw::plist::PlistValue::parse(QByteArray::fromStdString(content));
    } catch (const bw::cms::CmsError&) {
    }
    (void)bw::cms::verifyDetached(der, "code directory");
    return 0;
}
