#include "app/application.h"
#include "app/log.h"
#include "catalogue/catalogue.h"
#include "ui/window_operations.h"

namespace {

enum class ScanMode { Top, Group, Leaf, Comment };

// The byte scan of the items block: groups open with "#name;", close with
// "!", items are "[name]", and a "+" marks a node to start checked.
class CItemsScanner {
public:
    CItemsScanner(CCatalogue& catalogue, const std::string& text)
        : catalogue(catalogue), text(text)
    {
    }

    void Scan(size_t from)
    {
        for (size_t at = from; at < text.size(); ++at)
            Step(at);
    }

private:
    void Step(size_t at)
    {
        char b = text[at];
        if (b == '\n') {
            groupName.clear();
            leafName.clear();
            mode = ScanMode::Top;
        }
        if (mode == ScanMode::Group) {
            if (b == ';')
                AddGroup();
            else
                groupName += b;
        }
        if (mode == ScanMode::Leaf) {
            if (b == ']') {
                mode = ScanMode::Top;
                HTREEITEM node = theApp.ui->InsertNode(CurrentParent(), leafName);
                if (at + 1 < text.size() && text[at + 1] == '+')
                    catalogue.preChecked.push_back(node);
            } else {
                leafName += b;
            }
        }
        if (mode == ScanMode::Top)
            TopByte(b);
    }

    // The name stays gathered, so a second ";" on the line nests a group
    // named with everything since the "#".
    void AddGroup()
    {
        bool marked = !groupName.empty() && groupName.back() == '+';
        if (marked)
            groupName.pop_back();
        HTREEITEM node = theApp.ui->InsertNode(CurrentParent(), groupName);
        catalogue.parentStack.push_back(node);
        if (marked)
            catalogue.preChecked.push_back(node);
    }

    void TopByte(char b)
    {
        switch (b) {
        case '#':
            mode = ScanMode::Group;
            break;
        case '[':
            mode = ScanMode::Leaf;
            break;
        case ';':
            mode = ScanMode::Comment;
            break;
        case '!':
            if (catalogue.parentStack.empty())
                theLog.WriteLine("Parsing error ! Trying to use null object");
            else
                catalogue.parentStack.pop_back();
            break;
        }
    }

    // Once surplus "!" have popped the root, nodes go to the root.
    HTREEITEM CurrentParent() const
    {
        return catalogue.parentStack.empty() ? nullptr : catalogue.parentStack.back();
    }

    CCatalogue& catalogue;
    const std::string& text;
    ScanMode mode = ScanMode::Top;
    std::string groupName;
    std::string leafName;
};

}  // namespace

bool CCatalogue::ParseItems()
{
    theLog.WriteLine("\n--== Parsing config file ==--\n");
    // A text that failed to parse before must not leave its roots behind.
    parentStack.assign(1, nullptr);
    uint32_t position = 0;
    int lineCount = 0;
    for (;;) {
        std::string line = ReadLine(position);
        if (line.find("<items>") != std::string::npos)
            break;
        if (line == "*") {
            theLog.WriteFormatted("Eof reached ! <items> tag missing? (%i)", lineCount);
            return false;
        }
        ++lineCount;
    }
    theLog.WriteFormatted("End of header (%i chars, %i lines).", static_cast<int>(position),
                          lineCount);

    CItemsScanner(*this, *sourceText).Scan(position);
    theLog.WriteLine("\n--== End of config parsing ==-- \n");
    return true;
}
