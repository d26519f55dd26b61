#pragma once
// Windows file attributes of an entry, from what the archive says of it.
#include <cstdint>

// The values of Windows' FILE_ATTRIBUTE_ bits, so that this needs no windows.h.
const uint32_t zipAttributeReadOnly = 0x1;
const uint32_t zipAttributeHidden = 0x2;
const uint32_t zipAttributeSystem = 0x4;
const uint32_t zipAttributeDirectory = 0x10;
const uint32_t zipAttributeArchive = 0x20;

// From the directory entry's external attributes, read as DOS bits when the
// host system (high byte of version made by) keeps them, else as Unix mode.
uint32_t WindowsAttributes(uint32_t versionMadeBy, uint32_t externalAttributes);
