#include "install/catalogue_message.h"

#include "core/window_operations.h"

void ShowCatalogueMessage(CWindowOperations& window, HWND owner, const std::string& message)
{
    if (message.empty())
        return;
    window.ShowMessage(owner, message.c_str(), "Punk Buster info", MB_OK | MB_ICONINFORMATION);
}
