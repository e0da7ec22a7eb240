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

// What ends a folder's name in a path's text: a slash, and on Windows also a
// backslash and a drive's colon.
#ifdef _WIN32
inline constexpr const char* kPathSeparators = "/\\:";
#else
inline constexpr const char* kPathSeparators = "/";
#endif

// `name` in the folder that the file `path` lies in, in the words of `path`:
// "demo/x.model" gives "demo/NAME" on every platform, "C:\Mods\x.model" gives
// "C:\Mods\NAME". Just `name` for a path without a folder.
inline std::string BesideFile(const std::string& path, const std::string& name) {
    const size_t end = path.find_last_of(kPathSeparators);
    return end == std::string::npos ? name : path.substr(0, end + 1) + name;
}

// `name` inside `folder`, joined with the separator the folder's text already
// uses, so that a path written with slashes comes back with slashes; without
// one, the platform's own.
inline std::string InFolder(const std::string& folder, const std::string& name) {
    const size_t last = folder.find_last_of(kPathSeparators);
    if (folder.empty() || last + 1 == folder.size())
        return folder + name;
#ifdef _WIN32
    const char separator = last != std::string::npos && folder[last] != ':' ? folder[last] : '\\';
#else
    const char separator = '/';
#endif
    return folder + separator + name;
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

#ifdef _WIN32
// Text of the wide Windows APIs (command lines, dialogs) as UTF-8, and back.
std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& text);
#endif

// A file name stored in a game file, as UTF-8. Names are usually ASCII, but may
// be in the game's own 8-bit encoding: bytes that are not UTF-8 are taken as a
// byte-string file open would take them (the ANSI code page on Windows, the
// bytes themselves elsewhere). None when they cannot name a file here.
std::optional<std::string> Utf8FromStoredName(const std::string& bytes);
