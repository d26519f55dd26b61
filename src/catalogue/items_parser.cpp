#include "core/application.h"
#include "core/log.h"
#include "catalogue/catalogue.h"
#include "core/window_operations.h"

namespace {

enum class ScanMode { Top, Group, Leaf, Comment };

constexpr int kRoot = -1;

// The byte scan of the items block: groups open with "#name;", close with
// "!", items are "[name]", and a "+" marks a node to start checked.
// The nodes are gathered first and reach the tree in one batch, so the
// parents are indices into the batch until then.
class CItemsScanner {
public:
    CItemsScanner(const std::string& text) : text(text) {}

    void Scan(size_t from)
    {
        for (size_t at = from; at < text.size(); ++at)
            Step(at);
    }

    // Inserts the gathered nodes; the stack and the marks become tree handles.
    void Insert(CCatalogue& catalogue) const
    {
        std::vector<HTREEITEM> handles = theApp.ui->InsertNodes(nodes);
        auto handleOf = [&](int index) {
            return index >= 0 && static_cast<size_t>(index) < handles.size() ? handles[index]
                                                                              : nullptr;
        };
        catalogue.parentStack.clear();
        for (int index : parents)
            catalogue.parentStack.push_back(handleOf(index));
        for (int index : marked)
            catalogue.preChecked.push_back(handleOf(index));
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
                int node = AddNode(leafName);
                if (at + 1 < text.size() && text[at + 1] == '+')
                    marked.push_back(node);
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
        bool isMarked = !groupName.empty() && groupName.back() == '+';
        if (isMarked)
            groupName.pop_back();
        int node = AddNode(groupName);
        parents.push_back(node);
        if (isMarked)
            marked.push_back(node);
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
            if (parents.empty())
                theLog.WriteLine("Parsing error ! Trying to use null object");
            else
                parents.pop_back();
            break;
        }
    }

    // Once surplus "!" have popped the root, nodes go to the root.
    int AddNode(const std::string& name)
    {
        nodes.push_back({parents.empty() ? kRoot : parents.back(), name});
        return static_cast<int>(nodes.size() - 1);
    }

    const std::string& text;
    std::vector<NewTreeNode> nodes;
    std::vector<int> parents = {kRoot};
    std::vector<int> marked;
    ScanMode mode = ScanMode::Top;
    std::string groupName;
    std::string leafName;
};

}  // namespace

bool CCatalogue::ParseItems()
{
    theLog.WriteLine("\n--== Parsing config file ==--\n");
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

    CItemsScanner scanner(*sourceText);
    scanner.Scan(position);
    scanner.Insert(*this);
    theLog.WriteLine("\n--== End of config parsing ==-- \n");
    return true;
}
