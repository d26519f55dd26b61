#include "update/release_signature.h"

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "core/file_system.h"

namespace {

constexpr ULONG kCoordinateBytes = 32;
constexpr ULONG kDigestBytes = 32;
// The file is hashed a piece at a time: a release is never held whole.
constexpr DWORD kPieceBytes = 64 * 1024;

using Coordinates = std::array<BYTE, 2 * kCoordinateBytes>;

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};
struct AlgorithmCloser {
    void operator()(void* algorithm) const { BCryptCloseAlgorithmProvider(algorithm, 0); }
};
struct KeyDestroyer {
    void operator()(void* key) const { BCryptDestroyKey(key); }
};
struct HashDestroyer {
    void operator()(void* hash) const { BCryptDestroyHash(hash); }
};
using CAlgorithm = std::unique_ptr<void, AlgorithmCloser>;

template <typename T>
std::unique_ptr<T, LocalFreer> Decode(LPCSTR type, const BYTE* data, size_t size)
{
    void* decoded = nullptr;
    DWORD decodedSize = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, type, data, static_cast<DWORD>(size), CRYPT_DECODE_ALLOC_FLAG,
                             nullptr, &decoded, &decodedSize))
        return nullptr;
    return std::unique_ptr<T, LocalFreer>(static_cast<T*>(decoded));
}

CAlgorithm OpenAlgorithm(LPCWSTR name)
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, name, nullptr, 0)))
        return nullptr;
    return CAlgorithm(algorithm);
}

// X then Y of the public point of a P-256 key; nothing for any other key.
std::optional<Coordinates> PublicPoint(const std::string& pem)
{
    DWORD size = 0;
    if (pem.empty() || !CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                             nullptr, &size, nullptr, nullptr))
        return std::nullopt;
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                              &size, nullptr, nullptr))
        return std::nullopt;
    auto info = Decode<CERT_PUBLIC_KEY_INFO>(X509_PUBLIC_KEY_INFO, der.data(), size);
    if (!info || std::strcmp(info->Algorithm.pszObjId, szOID_ECC_PUBLIC_KEY) != 0)
        return std::nullopt;
    const CRYPT_OBJID_BLOB& parameters = info->Algorithm.Parameters;
    auto curve = Decode<LPSTR>(X509_OBJECT_IDENTIFIER, parameters.pbData, parameters.cbData);
    if (!curve || std::strcmp(*curve, szOID_ECC_CURVE_P256) != 0)
        return std::nullopt;
    // Uncompressed: 0x04, X, Y.
    const CRYPT_BIT_BLOB& point = info->PublicKey;
    Coordinates coordinates;
    if (point.cbData != 1 + coordinates.size() || point.cUnusedBits != 0 || point.pbData[0] != 0x04)
        return std::nullopt;
    std::copy(point.pbData + 1, point.pbData + point.cbData, coordinates.begin());
    return coordinates;
}

// r then s, each of 32 bytes with the most significant first, as CNG takes
// them; nothing for what is no P-256 signature.
std::optional<Coordinates> RawSignature(const std::string& der)
{
    auto decoded = Decode<CERT_ECC_SIGNATURE>(X509_ECC_SIGNATURE, reinterpret_cast<const BYTE*>(der.data()),
                                              der.size());
    if (!decoded)
        return std::nullopt;
    Coordinates raw = {};
    const CRYPT_UINT_BLOB* parts[] = {&decoded->r, &decoded->s};
    for (size_t i = 0; i < 2; ++i) {
        const CRYPT_UINT_BLOB& part = *parts[i];
        if (part.cbData > kCoordinateBytes)
            return std::nullopt;
        // crypt32 gives the least significant byte first, without leading zeros.
        auto end = raw.begin() + (i + 1) * kCoordinateBytes;
        std::reverse_copy(part.pbData, part.pbData + part.cbData, end - part.cbData);
    }
    return raw;
}

std::optional<std::array<BYTE, kDigestBytes>> FileDigest(HANDLE file)
{
    CAlgorithm sha256 = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
    BCRYPT_HASH_HANDLE hashHandle = nullptr;
    if (!sha256 || !BCRYPT_SUCCESS(BCryptCreateHash(sha256.get(), &hashHandle, nullptr, 0, nullptr, 0, 0)))
        return std::nullopt;
    std::unique_ptr<void, HashDestroyer> hash(hashHandle);
    // From the first byte, whatever was read through the handle before.
    LARGE_INTEGER start = {};
    if (!file || !SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return std::nullopt;
    std::vector<BYTE> piece(kPieceBytes);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, piece.data(), kPieceBytes, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            break;
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.get(), piece.data(), got, 0)))
            return std::nullopt;
    }
    std::array<BYTE, kDigestBytes> digest;
    if (!BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest.data(), kDigestBytes, 0)))
        return std::nullopt;
    return digest;
}

}  // namespace

bool SignatureMatches(const CFileHandle& file, const std::string& signature, const std::string& publicKeyPem)
{
    std::optional<Coordinates> point = PublicPoint(publicKeyPem);
    std::optional<Coordinates> raw = RawSignature(signature);
    if (!point || !raw)
        return false;
    std::optional<std::array<BYTE, kDigestBytes>> digest = FileDigest(file.get());
    CAlgorithm ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
    if (!digest || !ecdsa)
        return false;

    std::vector<BYTE> blob(sizeof(BCRYPT_ECCKEY_BLOB));
    BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kCoordinateBytes};
    std::memcpy(blob.data(), &header, sizeof header);
    blob.insert(blob.end(), point->begin(), point->end());
    BCRYPT_KEY_HANDLE keyHandle = nullptr;
    if (!BCRYPT_SUCCESS(BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &keyHandle, blob.data(),
                                            static_cast<ULONG>(blob.size()), 0)))
        return false;
    std::unique_ptr<void, KeyDestroyer> key(keyHandle);
    return BCRYPT_SUCCESS(BCryptVerifySignature(key.get(), nullptr, digest->data(), kDigestBytes, raw->data(),
                                                static_cast<ULONG>(raw->size()), 0));
}
