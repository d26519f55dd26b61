#pragma once

// Body of an install thread: copy pak0.pk3, download and unpack every
// checked item.
void RunInstall();
