#include "platform/keychain/KeychainStoreError.h"

namespace bw {

KeychainStoreError::KeychainStoreError(qint32 status)
    : status_(status), what_(description().toUtf8()) {}

QString KeychainStoreError::description() const {
    return QStringLiteral("Keychain returned error %1.").arg(status_);
}

} // namespace bw
