#pragma once
// The traditional PKWARE check of an encrypted entry's 12-byte header.

struct ZipReader;

// The current entry is open for reading with the password, so minizip stands
// just behind the header.
bool PasswordMatches(ZipReader* reader);
