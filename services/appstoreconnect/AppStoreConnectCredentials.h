#pragma once

#include "platform/json/JsonReader.h"

#include <QJsonObject>
#include <QString>

namespace bw {

// The developer's App Store Connect API key, as kept in the keychain.
struct AppStoreConnectCredentials {
    QString issuerID;
    QString keyID;
    QString privateKeyPEM;

    bool operator==(const AppStoreConnectCredentials&) const = default;
};

// All three members are required strings; other members are ignored.
QJsonObject toJson(const AppStoreConnectCredentials& value);
AppStoreConnectCredentials decodeAppStoreConnectCredentials(const json::JsonReader& reader);

} // namespace bw
