#include "codec/block_decoder.h"

// Not built yet.
