// The code of the header-only libraries the export uses, compiled once here
// where no shared build of them is at hand (the Windows build).
#define TINYGLTF_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <tiny_gltf.h>
