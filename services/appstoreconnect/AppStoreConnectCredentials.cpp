#include "services/appstoreconnect/AppStoreConnectCredentials.h"

namespace bw {

QJsonObject toJson(const AppStoreConnectCredentials& value) {
    return {{"issuerID", value.issuerID},
            {"keyID", value.keyID},
            {"privateKeyPEM", value.privateKeyPEM}};
}

AppStoreConnectCredentials decodeAppStoreConnectCredentials(const json::JsonReader& reader) {
    return {json::stringAt(reader, u"issuerID"), json::stringAt(reader, u"keyID"),
            json::stringAt(reader, u"privateKeyPEM")};
}

} // namespace bw
