#include "dataview/TextAppend.h"

#include <cstdarg>
#include <cstdio>

namespace dataview {

void AppendFormat(std::string& text, const char* format, ...) {
    // Most record lines fit here; longer ones are formatted again in place.
    char line[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (length > 0 && static_cast<size_t>(length) < sizeof line) {
        text.append(line, static_cast<size_t>(length));
    } else if (length > 0) {
        size_t start = text.size();
        text.resize(start + static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data() + start, static_cast<size_t>(length) + 1, format, again);
        text.resize(start + static_cast<size_t>(length));
    }
    va_end(again);
}

}  // namespace dataview
