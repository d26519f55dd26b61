#include "ui/about_dialog.h"

void ShowAboutDialog()
{
}
