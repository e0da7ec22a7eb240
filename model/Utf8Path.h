#pragma once
// Paths are UTF-8 text inside the program; the file system gets them in its own
// form (wide characters on Windows), so a name with any characters opens.

#include <filesystem>
#include <optional>
#include <string>

inline std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The extension of a UTF-8 path with its dot, in lower case: what a file's
// name says it holds, however it is written (".PNG", ".Glb").
inline std::string LowerCaseExtension(const std::string& path) {
    std::string extension = Utf8FromPath(PathFromUtf8(path).extension());
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

// A file name stored in a game file, as UTF-8. Names are usually ASCII, but may
// be in the game's own 8-bit encoding: bytes that are not UTF-8 are taken as a
// byte-string file open would take them (the ANSI code page on Windows, the
// bytes themselves elsewhere). None when they cannot name a file here.
std::optional<std::string> Utf8FromStoredName(const std::string& bytes);
