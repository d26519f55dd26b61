#pragma once

// Downloads the catalogue from the mirrors and fills the tree.
// False only when the user declines to retry.
bool FetchCatalogue();
