#include "cli/TerminalText.h"

#include <cstdio>

TerminalTextBuffer::~TerminalTextBuffer() {
    if (afterC2_)
        target_->sputc(static_cast<char>(0xC2));
}

TerminalTextBuffer::int_type TerminalTextBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    return Put(static_cast<unsigned char>(traits_type::to_char_type(c))) ? c : traits_type::eof();
}

bool TerminalTextBuffer::Escaped(const char* prefix, unsigned char c) {
    char text[8];
    const int length = std::snprintf(text, sizeof text, "%s%02X", prefix, c);
    return target_->sputn(text, length) == length;
}

bool TerminalTextBuffer::Put(unsigned char c) {
    auto put = [this](unsigned char byte) {
        return !traits_type::eq_int_type(target_->sputc(static_cast<char>(byte)),
                                         traits_type::eof());
    };
    if (afterC2_) {
        afterC2_ = false;
        if (c >= 0x80 && c <= 0x9F)
            return Escaped("\\u00", c);
        if (!put(0xC2))
            return false;
        continuation_ = 1;
    }
    if (continuation_ > 0 && c >= 0x80 && c <= 0xBF) {
        --continuation_;
        return put(c);
    }
    continuation_ = 0;
    if (c == 0xC2) {
        afterC2_ = true;
        return true;
    }
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F || (c >= 0x80 && c <= 0x9F))
        return Escaped("\\x", c);
    if (c >= 0xC0)
        continuation_ = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    return put(c);
}
