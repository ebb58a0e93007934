#pragma once

// The graph window TForm8 lives with the graph drawing it shows.
#include "GraphWindows.h"
