#pragma once

// The pak0.pk3 file chooser and the installation folder chooser.
void ChoosePak0File();
void ChooseInstallFolder();
