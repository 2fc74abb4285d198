#include "script/script.h"
