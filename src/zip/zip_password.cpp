#include "zip/zip_password.h"

#include "zip/zip_reader.h"
#include "zip/zip_source.h"

#include <crypt.h>

bool PasswordMatches(ZipReader* reader)
{
    if (!reader->password)
        return false;
    const uint64_t headerSize = 12;
    uint64_t dataStart = unzGetCurrentFileZStreamPos64(reader->archive);
    unsigned char header[headerSize];
    if (dataStart < headerSize || !ReadZipSourceAt(reader->source, dataStart - headerSize, header, sizeof header))
        return false;
    const unsigned long* table = reinterpret_cast<const unsigned long*>(get_crc_table());
    unsigned long keys[3];
    init_keys(reader->password->c_str(), keys, table);
    for (unsigned char& c : header)
        zdecode(keys, table, c);
    return header[headerSize - 1] == reader->cachedCheckByte;
}
