#include "export/resource_file.h"

// Not built yet.
