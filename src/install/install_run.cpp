#include "install/install_run.h"

void RunInstall()
{
}
