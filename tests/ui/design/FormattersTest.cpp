#include "ui/design/Formatters.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <limits>

namespace bw::design {
namespace {

TEST(FileByteCount, PicksTheUnitAndDigitsOfTheFileStyle) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "Zero KB"},
        {1, "1 byte"},
        {999, "999 bytes"},
        {1'000, "1 KB"},
        {1'499, "1 KB"},
        {999'499, "999 KB"},
        {999'500, "1 MB"},
        {1'500'000, "1.5 MB"},
        {2'250'000'000, "2.25 GB"},
        {std::numeric_limits<std::uint64_t>::max(), "18.45 EB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileByteCount(c.bytes).toStdString(), c.text) << c.bytes;
    }
}

TEST(FileByteCount, FollowsTheLocaleDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fileByteCount(1'500'000).toStdString(), "1,5 MB");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace
} // namespace bw::design
