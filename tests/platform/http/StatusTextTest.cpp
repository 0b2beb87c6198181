#include "platform/http/StatusText.h"

#include <gtest/gtest.h>

namespace bw::http {
namespace {

TEST(StatusText, KnownCodesHaveTheirPhraseAndOthersTheirClass) {
    const std::vector<std::pair<int, const char*>> cases = {
        {404, "Not Found"},     {199, "Informational"},  {299, "Success"},
        {399, "Redirection"},   {418, "Client Error"},   {599, "Server Error"},
        {99, "Unknown Status"}, {600, "Unknown Status"}, {-404, "Unknown Status"},
    };
    for (const auto& [status, text] : cases) {
        EXPECT_EQ(statusText(status), QString::fromLatin1(text)) << status;
    }
}

} // namespace
} // namespace bw::http
