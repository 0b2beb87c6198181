#pragma once

#include "platform/core/DomainError.h"

#include <QString>

namespace bw {

enum class KeychainStoreErrorKind { unexpectedStatus };

// A keychain operation that failed for any reason other than a missing item.
class KeychainStoreError : public DomainError<KeychainStoreErrorKind, QString> {
public:
    explicit KeychainStoreError(qint32 status);

    qint32 status() const { return status_; }

private:
    qint32 status_;
};

} // namespace bw
