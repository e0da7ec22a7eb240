#include "model/Utf8Path.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// The bytes in `codePage` as UTF-16; none when they are not valid in it.
std::optional<std::wstring> Widen(unsigned codePage, const std::string& bytes) {
    const int size = static_cast<int>(bytes.size());
    const int wide =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (wide <= 0)
        return std::nullopt;
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), wide);
    return text;
}

}  // namespace

std::string Utf8FromWide(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::wstring WideFromUtf8(const std::string& text) {
    return Widen(CP_UTF8, text).value_or(std::wstring());
}

std::optional<std::string> Utf8FromStoredName(const std::string& bytes) {
    if (bytes.empty() || Widen(CP_UTF8, bytes))
        return bytes;
    const std::optional<std::wstring> text = Widen(CP_ACP, bytes);
    if (!text)
        return std::nullopt;
    return Utf8FromPath(std::filesystem::path(*text));
}

#else

// A byte-string name opens the file of exactly those bytes.
std::optional<std::string> Utf8FromStoredName(const std::string& bytes) {
    return bytes;
}

#endif
