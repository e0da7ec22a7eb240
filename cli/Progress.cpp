#include "cli/Progress.h"

#include <cmath>
#include <ostream>

#include "dataview/TextAppend.h"

std::string ProgressText(const char* command, const ProgressCounts& c) {
    std::string text;
    dataview::AppendFormat(text, "kestrel %s: %zu of %zu files, %zu failed", command, c.Done,
                           c.Total, c.Failed);
    // A rate and a time left only once there is something to go by.
    if (c.Done > 0 && c.Seconds > 0) {
        const double rate = static_cast<double>(c.Done) / c.Seconds;
        const auto left = static_cast<long long>(std::ceil((c.Total - c.Done) / rate));
        dataview::AppendFormat(text, ", %.1f files/s, %lld:%02lld left", rate, left / 60,
                               left % 60);
    }
    return text;
}

void ProgressLine::Draw(const std::string& text) {
    if (!shown_)
        return;
    // Spaces over what is left of a longer line before.
    err_ << '\r' << text << std::string(width_ > text.size() ? width_ - text.size() : 0, ' ');
    err_.flush();
    width_ = text.size();
}

void ProgressLine::Clear() {
    if (!shown_ || width_ == 0)
        return;
    err_ << '\r' << std::string(width_, ' ') << '\r';
    err_.flush();
    width_ = 0;
}
