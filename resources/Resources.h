#pragma once

// Registers the compiled-in images and translation. Static libraries drop
// resource objects nobody references, so main and the tests call this once.
void initResources();
