// The log's one use of the window: telling the user it cannot be written.
#include "core/log.h"

#include <windows.h>

#include "core/application.h"
#include "core/window_operations.h"

bool CLog::Open()
{
    if (OpenFile())
        return true;
    theApp.ui->ShowMessage(nullptr, "Nie uda\xb3o si\xea utworzy\xe6 pliku", "Log", MB_OK);
    return false;
}
