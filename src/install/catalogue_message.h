#pragma once

// Shows the catalogue's message, if it has one.
void ShowCatalogueMessage();
