#include "transfer/system_authorities.h"

#include <windows.h>
#include <wincrypt.h>

namespace {

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

void AppendPem(const CERT_CONTEXT& certificate, std::string& text)
{
    const DWORD flags = CRYPT_STRING_BASE64HEADER;
    DWORD size = 0;
    if (!CryptBinaryToStringA(certificate.pbCertEncoded, certificate.cbCertEncoded, flags, nullptr, &size))
        return;
    std::string pem(size, '\0');
    if (!CryptBinaryToStringA(certificate.pbCertEncoded, certificate.cbCertEncoded, flags, &pem[0], &size))
        return;
    pem.resize(size);  // the second call counts without the terminating zero
    text += pem;
}

}  // namespace

std::string TrustStoreAuthorities()
{
    std::string text;
    HCERTSTORE store = CertOpenSystemStoreA(0, "ROOT");
    if (!store)
        return text;
    for (PCCERT_CONTEXT certificate = nullptr;
         (certificate = CertEnumCertificatesInStore(store, certificate)) != nullptr;)
        AppendPem(*certificate, text);
    CertCloseStore(store, 0);
    return text;
}

const std::string* SystemAuthorities()
{
    static const bool underWine = UnderWine();
    if (!underWine)
        return nullptr;
    // A few hundred KB: built by the first transfer, on whichever worker,
    // and kept. An empty store gives an empty list, which trusts nothing.
    static const std::string authorities = TrustStoreAuthorities();
    return &authorities;
}
