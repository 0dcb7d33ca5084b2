#include "codec/block_encoder.h"

// Not built yet.
