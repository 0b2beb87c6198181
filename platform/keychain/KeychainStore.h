#pragma once

#include "platform/keychain/KeychainStoreError.h"

#include <QString>
#include <chrono>
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

    // Whether an item exists for `account`, without unlocking anything or reading its data. Gives
    // up with false after `timeout`: a desktop without a Secret Service can leave the request
    // waiting for D-Bus activation for half a minute, and the program asks this while starting.
    bool contains(const QString& account, std::chrono::milliseconds timeout) const;

    // Whether `account` has an item whose data `read` gives as text, asked without an unlock
    // prompt: the data of an item in a locked collection is not read, and the item counts as long
    // as it exists. Gives up with false after `timeout`, as `contains` does.
    bool holdsText(const QString& account, std::chrono::milliseconds timeout) const;

    // Stores `value` as UTF-8, replacing the data of the items of the service and account (an
    // item another tool stored included) or adding a new one. Throws KeychainStoreError.
    void save(const QString& value, const QString& account) const;

    // Registers the GLib types a lookup uses, on the calling thread; call it before a first lookup
    // on another thread. GLib can deadlock when two threads register intertwined types for the
    // first time: a lookup's Secret Service proxy on one, the desktop settings' D-Bus connection
    // on the other hung one start in about forty.
    static void prepareForOtherThreads();

    bool operator==(const KeychainStore&) const = default;
};

} // namespace bw
