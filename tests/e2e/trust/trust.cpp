// Adds a certificate to the Windows trust store ("ROOT") of the Wine prefix,
// or takes it out again, so that an end-to-end test can make the program
// trust the test's throw-away authority for a while.
// Usage: trust add|remove <certificate.pem>; exit code 0 when done.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> ReadCertificate(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    std::string pem((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    DWORD size = 0;
    if (pem.empty() ||
        !CryptStringToBinaryA(pem.c_str(), pem.size(), CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
        return {};
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(pem.c_str(), pem.size(), CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr))
        return {};
    der.resize(size);
    return der;
}

bool Add(HCERTSTORE store, const std::vector<BYTE>& der)
{
    return CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), der.size(),
                                            CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
}

bool Remove(HCERTSTORE store, const std::vector<BYTE>& der)
{
    PCCERT_CONTEXT wanted = CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), der.size());
    if (!wanted)
        return false;
    // The store may hold it more than once (the user's and the machine's part).
    bool removed = true;
    while (removed) {
        PCCERT_CONTEXT found =
            CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted, nullptr);
        if (!found)
            break;
        removed = CertDeleteCertificateFromStore(found);  // frees `found`, also when it fails
    }
    CertFreeCertificateContext(wanted);
    return removed;
}

}  // namespace

int main(int argc, char** argv)
{
    bool add = argc == 3 && std::strcmp(argv[1], "add") == 0;
    if (argc != 3 || (!add && std::strcmp(argv[1], "remove") != 0)) {
        std::printf("usage: trust add|remove <certificate.pem>\n");
        return 2;
    }
    std::vector<BYTE> der = ReadCertificate(argv[2]);
    if (der.empty()) {
        std::printf("no certificate in %s\n", argv[2]);
        return 1;
    }
    HCERTSTORE store = CertOpenSystemStoreA(0, "ROOT");
    if (!store) {
        std::printf("the ROOT store does not open (%lu)\n", GetLastError());
        return 1;
    }
    // Wine writes a deletion to the registry only when told to.
    bool done = (add ? Add(store, der) : Remove(store, der)) &&
                CertControlStore(store, CERT_STORE_CTRL_COMMIT_FORCE_FLAG, CERT_STORE_CTRL_COMMIT, nullptr);
    if (!done)
        std::printf("the ROOT store refused it (%lu)\n", GetLastError());
    CertCloseStore(store, 0);
    return done ? 0 : 1;
}
