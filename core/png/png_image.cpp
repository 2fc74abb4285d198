#include "png/png_image.h"
