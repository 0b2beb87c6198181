#include "platform/crypto/Sha256.h"

#include <gtest/gtest.h>

using bw::crypto::sha256;

TEST(Sha256, KnownDigests) {
    const std::pair<QByteArray, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {QByteArray("a\0b", 3), "59b271ae1bbcb1d31d41929817f4b16fb439eb4f31520b5ad1d5ce98920a7138"},
        {QByteArray(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(sha256(input).toHex(), QByteArray(expected)) << input.left(10).toStdString();
    }
}
