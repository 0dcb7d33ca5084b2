#include "import/importer.h"

// Not built yet.
