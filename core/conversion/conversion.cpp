#include "conversion/conversion.h"
