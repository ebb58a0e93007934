#pragma once

// The choice window TForm9 and the phase portrait TForm5 live with the graph drawing.
#include "GraphWindows.h"
