#pragma once

#include "platform/keychain/KeychainStoreError.h"

#include <QString>
#include <optional>

namespace bw {

// Small text secrets of the application, one generic-password item per account under one service
// name. On Linux the items live in the user's default Secret Service collection (GNOME Keyring,
// KWallet) with the attributes "service" and "account". The store holds nothing but its service
// name; every call goes to the Secret Service.
struct KeychainStore {
    QString service;

    // The item's data as UTF-8 text; nothing when there is no item or its data is not UTF-8.
    // Throws KeychainStoreError for every other failure.
    std::optional<QString> read(const QString& account) const;

    // Stores `value` as UTF-8, replacing the data of an existing item or adding a new one.
    // Throws KeychainStoreError.
    void save(const QString& value, const QString& account) const;

    bool operator==(const KeychainStore&) const = default;
};

} // namespace bw
