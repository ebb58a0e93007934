#include "NumberFormat.h"
// Placeholder until the formats land.
