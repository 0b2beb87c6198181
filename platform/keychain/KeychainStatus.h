#pragma once

#include <QtGlobal>

// The Keychain result codes the store reports, with the values the macOS Keychain uses, so that a
// status reads the same on every platform.
namespace bw::keychain_status {

inline constexpr qint32 success = 0;
inline constexpr qint32 userCanceled = -128;
inline constexpr qint32 internalComponent = -2070;
inline constexpr qint32 notAvailable = -25291;
inline constexpr qint32 authFailed = -25293;
inline constexpr qint32 itemNotFound = -25300;
inline constexpr qint32 noDefaultKeychain = -25307;
inline constexpr qint32 interactionNotAllowed = -25308;

} // namespace bw::keychain_status
