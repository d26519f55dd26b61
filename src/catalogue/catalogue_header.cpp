#include "catalogue/catalogue_header.h"

#include "catalogue/catalogue.h"
#include "catalogue/record_lines.h"
#include "catalogue/scan_number.h"
#include "core/log.h"

namespace {

int16_t NumberInWindow(const std::string& line, size_t from, size_t count)
{
    int value = 0;
    if (from < line.size())
        ScanNumber(line.substr(from, count), value);
    return static_cast<int16_t>(value);  // the low 16 bits
}

void ReadMessageLines(const CCatalogue& catalogue, uint32_t& position, std::string& message)
{
    for (;;) {
        std::string line = catalogue.ReadLine(position);
        if (line.find("</message>") != std::string::npos) {
            theLog.WriteLine("Message: OK");
            return;
        }
        if (line == "*") {
            theLog.WriteLine("Message problem: end of file.");
            return;
        }
        message += line;
        message += '\n';
    }
}

}  // namespace

CatalogueVersion ReadVersionLine(const std::string& line)
{
    CatalogueVersion version;
    version.major = NumberInWindow(line, 1, 2);
    version.minor = NumberInWindow(line, 3, 4);
    version.patch = NumberInWindow(line, 5, std::string::npos);
    return version;
}

CatalogueHeader ReadHeader(const CCatalogue& catalogue)
{
    CatalogueHeader header;
    theLog.WriteLine("\n--== Parsing header of config ==--");
    uint32_t position = 0;
    std::string versionLine = catalogue.ReadLine(position);
    if (versionLine.empty() || versionLine[0] != 'v') {
        theLog.WriteLine("Invalid config file, no information about version found.");
        return header;
    }
    header.valid = true;
    header.version = ReadVersionLine(versionLine);
    header.updateUrlLine = catalogue.ReadLine(position);
    header.updateUrl = WithoutCr(header.updateUrlLine);
    ScanNumber(catalogue.ReadLine(position), header.updateSize);

    theLog.WriteLine("\nChecking message");
    if (catalogue.ReadLine(position).find("<message>") == std::string::npos)
        theLog.WriteLine("Invalid config file: message missing.");
    else
        ReadMessageLines(catalogue, position, header.message);
    // The caller runs the update check with what was read.
    theLog.WriteLine("\nChecking for updates.");
    return header;
}
