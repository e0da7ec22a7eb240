// stb_dxt's code, compiled once here where no shared build of it is at hand
// (the Windows build).
#include <string.h>  // stb_dxt's code calls memcpy without including it

#define STB_DXT_IMPLEMENTATION
#include <stb_dxt.h>
