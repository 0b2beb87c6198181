#pragma once

#include <QtGlobal>

typedef struct _GError GError;

namespace bw {

// The Keychain status that best describes a failed Secret Service call.
qint32 keychainStatus(const GError* error);

} // namespace bw
