#pragma once
#include <string>

#include "core/file_system.h"

// True when `signature` (DER, as `openssl dgst -sha256 -sign` writes it) is
// an ECDSA P-256 signature of the SHA-256 of the whole open `file` by the
// key `publicKeyPem` (as `openssl ec -pubout` writes it). Any other key, a
// signature that is no such DER, or a file that is not open or cannot be
// read: false.
bool SignatureMatches(const CFileHandle& file, const std::string& signature, const std::string& publicKeyPem);
