#include "zip/zip_attributes.h"

uint32_t WindowsAttributes(uint32_t versionMadeBy, uint32_t externalAttributes)
{
    bool directory = (externalAttributes & 0x40000000) != 0;  // Unix directory type
    bool readOnly = (externalAttributes & 0x800000) == 0;     // no Unix owner write
    bool hidden = false, system = false, archive = true;
    uint32_t host = (versionMadeBy >> 8) & 0xFF;
    if (host == 0 || host == 7 || host == 11 || host == 14) {  // hosts with DOS attributes
        readOnly = (externalAttributes & 0x01) != 0;
        hidden = (externalAttributes & 0x02) != 0;
        system = (externalAttributes & 0x04) != 0;
        directory = (externalAttributes & 0x10) != 0;
        archive = (externalAttributes & 0x20) != 0;
    }
    return (directory ? zipAttributeDirectory : 0) | (archive ? zipAttributeArchive : 0) |
           (hidden ? zipAttributeHidden : 0) | (readOnly ? zipAttributeReadOnly : 0) |
           (system ? zipAttributeSystem : 0);
}
