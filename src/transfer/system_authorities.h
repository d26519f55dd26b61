#pragma once
#include <string>

// The certificates of the Windows trust store ("ROOT") as PEM text, one
// after another; empty when the store holds none or does not open.
std::string TrustStoreAuthorities();

// What libcurl checks an https server against when no request names an
// authority. Under Wine (known by its export or its registry key), whose
// Schannel leaves the chain unchecked, the trust store's, read once per
// process (Wine fills it from the host's trusted authorities; empty, which
// trusts nothing, when it cannot be read); null on Windows, whose Schannel
// checks on its own and fetches a missing root on demand.
const std::string* SystemAuthorities();
