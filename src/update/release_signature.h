#pragma once
#include <string>

// True when `signature` (DER, as `openssl dgst -sha256 -sign` writes it) is
// an ECDSA P-256 signature of the SHA-256 of the file at `path` by the key
// `publicKeyPem` (as `openssl ec -pubout` writes it). Any other key, a
// signature that is no such DER, or a file that cannot be read: false.
bool SignatureMatches(const char* path, const std::string& signature, const std::string& publicKeyPem);
