#include "sampledata.h"
