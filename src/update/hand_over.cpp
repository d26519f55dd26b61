#include "update/hand_over.h"

void StartupHandOver()
{
}
