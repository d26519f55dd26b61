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

void CCatalogue::ItemFiles(const std::string& name, std::vector<std::string>* folders,
                           std::vector<std::string>* urlLines, std::vector<int32_t>* sizes) const
{
    uint32_t position = 0;
    std::string description;
    if (!ReadSectionHead(*this, name, position, description))
        return;

    // A catalogue saved with CR LF line ends installs as its LF twin: its
    // records are read without their CRs.
    auto nextLine = [this, &position] { return WithoutCr(ReadLine(position)); };

    // Blank lines before the first record are passed over; the end of the
    // text is no record.
    std::string folderLine;
    do {
        if (AtEnd(*this, position))
            return;
        folderLine = CutComment(nextLine());
    } while (folderLine.empty());

    for (;;) {
        if (folders)
            folders->push_back(folderLine.substr(1));
        int size = 0;
        ScanNumber(CutComment(nextLine()), size);
        if (sizes)
            sizes->push_back(size);
        std::string urlLine = CutComment(nextLine());
        if (urlLines)
            urlLines->push_back(urlLine);

        std::string line = nextLine();
        RecordLine kind = ClassifyLine(line);
        while (kind == RecordLine::Skipped) {
            line = nextLine();
            if (!line.empty() && line[0] == '*')
                return;
            kind = ClassifyLine(line);
        }
        if (kind == RecordLine::End)
            return;
        folderLine = CutComment(line);
    }
}
