#include "platform/keychain/KeychainStoreError.h"

namespace bw {

KeychainStoreError::KeychainStoreError(qint32 status)
    : DomainError(Kind::unexpectedStatus,
                  QStringLiteral("Keychain returned error %1.").arg(status)),
      status_(status) {}

} // namespace bw
