#pragma once
#include <string>

// Authenticode checks made before the program loads, starts or deletes a file
// it finds on disk. Neither check logs; callers log their own refusals.

// Signed by one of the accepted signers. A chain that ends in an untrusted
// root or an expired certificate still counts.
bool IsTrustedSignerFile(const wchar_t* path);
// Signed by exactly this signer (letter case ignored); the chain must be
// trusted (an expired certificate still counts). A null name passes.
bool IsSignedBy(const wchar_t* path, const wchar_t* signerName);

// The accepted signer display names.
const wchar_t* const* AcceptedSigners(size_t* count);
