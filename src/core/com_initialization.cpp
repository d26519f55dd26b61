#include "core/com_initialization.h"

#include <objbase.h>

namespace {

struct CComInitialization {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~CComInitialization()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
};

}  // namespace

void InitializeComOnThisThread()
{
    thread_local CComInitialization com;
    (void)com;
}
