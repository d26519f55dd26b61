#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/test_folder.h"
#include "update/release_signature.h"
#include "update/verified_release.h"

namespace {

// Made at build time by make_signing_fixtures.sh.
std::string Signing(const std::string& name)
{
    return ReadWholeFile(BesideThisProgram("signing\\" + name));
}

// The file as the update holds it while it is checked.
CFileHandle Held(const std::string& path)
{
    CVerifiedRelease release;
    release.Open(path.c_str());
    return std::move(release.file);
}

std::string Flipped(std::string bytes, size_t at)
{
    bytes[at] ^= 0x01;
    return bytes;
}

TEST(ReleaseSignature, OnlyTheKeysSignatureOverTheVeryFileVerifies)
{
    CTestFolder folder;
    const std::string release = Signing("release.bin");  // hashed in four pieces
    const std::string signature = Signing("release.bin.sig");
    const std::string key = Signing("release.pub.pem");
    ASSERT_EQ(release.size(), 200000u);
    struct Case {
        const char* what;
        std::string file;
        std::string signature;
        std::string key;
        bool verifies;
    } cases[] = {
        {"the key's signature", release, signature, key, true},
        {"an r or s of fewer than 32 bytes", release, Signing("short.sig"), key, true},
        {"a byte flipped in the first piece", Flipped(release, 1000), signature, key, false},
        {"the last byte flipped", Flipped(release, release.size() - 1), signature, key, false},
        {"a byte more", release + '\0', signature, key, false},
        {"a byte less", release.substr(0, release.size() - 1), signature, key, false},
        {"another key's signature", release, Signing("other.sig"), key, false},
        {"checked with another key", release, signature, Signing("other.pub.pem"), false},
        {"a truncated signature", release, signature.substr(0, signature.size() - 1), key, false},
        {"a flipped byte in the signature", release, Flipped(signature, signature.size() - 1), key, false},
        {"garbage for a signature", release, SomeBytes(71, 1), key, false},
        {"an empty signature", release, "", key, false},
        {"a key of another curve", release, signature, Signing("p384.pub.pem"), false},
        {"a key that is no PEM", release, signature, "-----BEGIN PUBLIC KEY-----\nnone\n", false},
        {"no key", release, signature, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteWholeFile("tmp.exe", c.file);

        EXPECT_EQ(SignatureMatches(Held(folder.File("tmp.exe")), c.signature, c.key), c.verifies);
    }
    EXPECT_FALSE(SignatureMatches(Held(folder.File("missing.exe")), signature, key));
}

}  // namespace
