#pragma once
#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

// The downloaded catalogue: read by name whenever an item is needed.
class CCatalogue {
public:
    const std::string* sourceText = nullptr;
    // Tree nodes that the catalogue marks to be checked at start.
    std::vector<HTREEITEM> preChecked;
};
