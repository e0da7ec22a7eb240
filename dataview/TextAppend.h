#pragma once
// printf-style appending to a growing text: no fixed buffer a long name or a
// huge value can overflow, and amortised growth, so a text is built in time
// linear in its length.

#include <string>

#if defined(__MINGW32__)
#define KESTREL_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define KESTREL_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#endif

namespace dataview {

void AppendFormat(std::string& text, const char* format, ...) KESTREL_PRINTF_FORMAT(2, 3);

// Record numbers: a block may hold more records than an int can count.
using RecordNumber = unsigned long long;

}  // namespace dataview
