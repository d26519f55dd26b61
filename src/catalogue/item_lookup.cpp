#include "catalogue/catalogue.h"
#include "catalogue/scan_number.h"
#include "catalogue/record_lines.h"

namespace {

// Finds the item section of `name` (the first "[name]" anywhere in the text)
// and reads its description lines, up to and including the first line with
// "}". Leaves `position` after them. False when there is no section, or when
// the text ends before a "}" line.
bool ReadSectionHead(const CCatalogue& catalogue, const std::string& name, uint32_t& position,
                     std::string& description)
{
    if (!catalogue.sourceText)
        return false;
    const std::string& text = *catalogue.sourceText;
    size_t found = text.find("[" + name + "]");
    if (found == std::string::npos)
        return false;
    position = static_cast<uint32_t>(found);
    catalogue.ReadLine(position);
    while (position < text.size()) {
        std::string line = catalogue.ReadLine(position);
        description += line;
        if (line.find('}') != std::string::npos)
            return true;
    }
    return false;
}

bool AtEnd(const CCatalogue& catalogue, uint32_t position)
{
    return position >= catalogue.sourceText->size();
}

}  // namespace

std::string CCatalogue::ItemDescription(const std::string& name) const
{
    uint32_t position = 0;
    std::string description;
    ReadSectionHead(*this, name, position, description);
    // The first byte is the "{" that opens the description.
    if (!description.empty())
        description.erase(0, 1);
    size_t close = description.find('}');
    if (close != std::string::npos)
        description.erase(close);
    return description;
}

std::vector<FileRecord> CCatalogue::ItemFiles(const std::string& name) const
{
    std::vector<FileRecord> records;
    uint32_t position = 0;
    std::string description;
    if (!ReadSectionHead(*this, name, position, description))
        return records;

    // A catalogue saved with CR LF line ends installs as its LF twin: its
    // records are read without their CRs.
    auto nextLine = [this, &position] { return WithoutCr(ReadLine(position)); };

    // Blank lines before the first record are passed over; the end of the
    // text is no record.
    std::string folderLine;
    do {
        if (AtEnd(*this, position))
            return records;
        folderLine = CutComment(nextLine());
    } while (folderLine.empty());

    for (;;) {
        FileRecord record;
        record.folder = folderLine.substr(1);
        ScanNumber(CutComment(nextLine()), record.size);
        record.urlLine = CutComment(nextLine());
        records.push_back(std::move(record));

        std::string line = nextLine();
        RecordLine kind = ClassifyLine(line);
        while (kind == RecordLine::Skipped) {
            line = nextLine();
            if (!line.empty() && line[0] == '*')
                return records;
            kind = ClassifyLine(line);
        }
        if (kind == RecordLine::End)
            return records;
        folderLine = CutComment(line);
    }
}
