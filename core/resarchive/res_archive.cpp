#include "resarchive/res_archive.h"
