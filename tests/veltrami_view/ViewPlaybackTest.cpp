// The view driving the main window's timer.
#include "ViewFixture.h"
