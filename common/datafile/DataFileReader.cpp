#include "DataFileReader.h"
// Placeholder until the reader lands.
