// Stands in for a newer release in the update tests: leaves "started.txt",
// naming the file it was started from, in its current folder, and ends.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    // Written aside, then renamed, so the test never reads half of it.
    if (FILE* file = std::fopen("started.tmp", "wb")) {
        std::fputs(path, file);
        std::fclose(file);
        MoveFileA("started.tmp", "started.txt");
    }
    return 0;
}
