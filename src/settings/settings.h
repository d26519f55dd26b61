#pragma once
#include <string>

// "settings.cfg" in the current folder: the two paths and whether the
// catalogue message was shown. The window moves the paths to and from its
// edit boxes.
class CSettings {
public:
    // Reads the file; without one, the paths are the usual places of the game
    // and showMessage is set. False when there is no file to read.
    bool Load();
    bool Save() const;

    std::string pak0Path;
    std::string installFolder;
    bool showMessage = false;
};
