#pragma once
#include <string>
#include <windows.h>

class CWindowOperations;

// Shows the catalogue's message in a box owned by `owner`, if it has one.
void ShowCatalogueMessage(CWindowOperations& window, HWND owner, const std::string& message);
