#pragma once
// The images of a texture archive as PNG pictures, one file each: what
// `kestrel textures` writes and the viewer's Export Textures.

#include <cstdint>
#include <functional>
#include <string>

class TextureFile;

struct WrittenPicture {
    std::string Name;  // NNN.png, or NNN-levelK.png for a smaller level
    uint32_t Width, Height, Format;
};

// Every image of `archive` that has texels, decoded at its own size as
// FOLDER/NNN.png (NNN the image number; FOLDER is made when missing), and with
// `levels` the smaller levels it stores after its first as NNN-levelK.png.
// Texels cut short are written as far as they go; an image of no texels, or
// of more than the archive can back, is left out. `wrote`, when given, hears
// of each picture once it is written. False, with why in `error`, when a
// picture cannot be written; those before it stay.
bool WriteArchivePictures(const TextureFile& archive, const std::string& folder, bool levels,
                          const std::function<void(const WrittenPicture&)>& wrote,
                          std::string& error);
