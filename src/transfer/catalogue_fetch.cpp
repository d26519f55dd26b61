#include "transfer/catalogue_fetch.h"

bool FetchCatalogue()
{
    return true;
}
