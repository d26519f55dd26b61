#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>
#include <wincrypt.h>

#include "transfer/system_authorities.h"

namespace {

// The DER of each PEM block of `text`, as Windows decodes it; an empty entry
// for a block that does not decode.
std::vector<std::vector<BYTE>> DecodedBlocks(const std::string& text)
{
    const std::string begin = "-----BEGIN CERTIFICATE-----", end = "-----END CERTIFICATE-----";
    std::vector<std::vector<BYTE>> blocks;
    for (size_t at = text.find(begin); at != std::string::npos; at = text.find(begin, at + 1)) {
        size_t stop = text.find(end, at);
        std::string block = text.substr(at, stop == std::string::npos ? std::string::npos : stop + end.size() - at);
        DWORD size = 0;
        std::vector<BYTE> der;
        if (CryptStringToBinaryA(block.c_str(), block.size(), CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr,
                                 nullptr)) {
            der.resize(size);
            if (!CryptStringToBinaryA(block.c_str(), block.size(), CRYPT_STRING_BASE64HEADER, der.data(), &size,
                                      nullptr, nullptr))
                der.clear();
        }
        blocks.push_back(der);
    }
    return blocks;
}

// Under Wine (where the tests run) the program has the trust store's
// authorities: as many PEM blocks as the store holds certificates, each
// one of them, and some at all (Wine takes them from the host).
TEST(SystemAuthorities, UnderWineAreTheTrustStoresCertificatesAsPem)
{
    const std::string* authorities = SystemAuthorities();
    ASSERT_NE(authorities, nullptr) << "not under Wine";

    HCERTSTORE store = CertOpenSystemStoreA(0, "ROOT");
    ASSERT_NE(store, nullptr);
    int inStore = 0;
    for (PCCERT_CONTEXT certificate = nullptr;
         (certificate = CertEnumCertificatesInStore(store, certificate)) != nullptr;)
        ++inStore;
    std::vector<std::vector<BYTE>> blocks = DecodedBlocks(*authorities);
    EXPECT_GT(inStore, 0) << "the host's trusted authorities (ca-certificates) did not reach Wine";
    EXPECT_EQ(static_cast<int>(blocks.size()), inStore);
    for (size_t i = 0; i < blocks.size(); ++i) {
        SCOPED_TRACE("block " + std::to_string(i));
        PCCERT_CONTEXT decoded =
            CertCreateCertificateContext(X509_ASN_ENCODING, blocks[i].data(), blocks[i].size());
        ASSERT_NE(decoded, nullptr);
        PCCERT_CONTEXT found =
            CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, decoded, nullptr);
        EXPECT_NE(found, nullptr);
        CertFreeCertificateContext(found);
        CertFreeCertificateContext(decoded);
    }
    CertCloseStore(store, 0);
}

}  // namespace
