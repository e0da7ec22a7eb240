#include "model/Text.h"

std::string ValidUtf8(const std::string& text) {
    std::string out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        // The length of a well-formed sequence starting here, or 0.
        size_t length = lead < 0x80                    ? 1
                        : lead >= 0xC2 && lead <= 0xDF ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
        if (length > 1) {
            if (i + length > size) {
                length = 0;
            } else {
                // The second byte's range excludes overlong forms, surrogates
                // and code points past U+10FFFF.
                const unsigned char second = bytes[i + 1];
                const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
                const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
                if (second < low || second > high)
                    length = 0;
                for (size_t k = 2; k < length; ++k) {
                    if ((bytes[i + k] & 0xC0) != 0x80)
                        length = 0;
                }
            }
        }
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        out.append(text, i, length);
        i += length;
    }
    return out;
}
