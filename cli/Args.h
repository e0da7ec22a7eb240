#pragma once
// Command-line words of one subcommand: positional words, options with a value
// (--name VALUE, --name=VALUE, -o VALUE) and flags.

#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

struct OptionSpec {
    std::set<std::string> WithValue;  // e.g. "--block", "-o"
    std::set<std::string> Flags;      // e.g. "--lf"
};

struct Args {
    std::vector<std::string> Positional;
    std::map<std::string, std::string> Values;
    std::set<std::string> Flags;
    bool Help = false;

    bool Has(const std::string& option) const { return Values.count(option) != 0; }
    std::string Value(const std::string& option, const std::string& fallback = "") const {
        auto found = Values.find(option);
        return found == Values.end() ? fallback : found->second;
    }
};

// False with a message in `error` for an unknown option or a missing value.
bool ParseArgs(const std::vector<std::string>& words, const OptionSpec& spec, Args& args,
               std::string& error);

// The whole word as one number (an integer or a float, by `value`'s type); a
// float must be finite: the camera and the picture have no use for NaN or
// infinity. `value` is left as it is when the word is refused.
template <class T>
bool ParseNumber(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    T number{};
    auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end)
        return false;
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(number))
            return false;
    }
    value = number;
    return true;
}

// "A,B" (or "AxB" for sizes) as two numbers.
template <class T>
bool ParsePair(const std::string& text, char separator, T& a, T& b) {
    const size_t at = text.find(separator);
    return at != std::string::npos && ParseNumber(text.substr(0, at), a) &&
           ParseNumber(text.substr(at + 1), b);
}

// Largest picture `render` and `view` make on a side: far beyond any screen,
// small enough that a typo cannot ask for gigabytes.
inline constexpr int kMaxPictureSide = 8192;

// --size WxH, each side from 1 to kMaxPictureSide; false for anything else.
inline bool ParseSize(const std::string& text, int& width, int& height) {
    return ParsePair(text, 'x', width, height) && width >= 1 && height >= 1 &&
           width <= kMaxPictureSide && height <= kMaxPictureSide;
}
