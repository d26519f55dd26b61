#include "transfer/system_authorities.h"

#include <windows.h>
#include <wincrypt.h>

namespace {

// Some players hide Wine's exports for games that refuse to run under it;
// its own registry key stays.
bool UnderWine()
{
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        return true;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
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
    // and kept. A store that cannot be read gives an empty list, which fails
    // every https transfer.
    static const std::string authorities = TrustStoreAuthorities();
    return &authorities;
}
