#pragma once
// The one line a run over folders keeps up to date on a terminal: files done
// of all, failures so far, files a second and the time left. It is redrawn in
// place with a carriage return and spaces, no escape sequences, so every
// terminal shows it, and it is taken away before any other line is written.

#include <cstddef>
#include <iosfwd>
#include <string>

struct ProgressCounts {
    size_t Done = 0;
    size_t Total = 0;
    size_t Failed = 0;
    double Seconds = 0;  // since the run began
};

// "kestrel export: 120 of 400 files, 2 failed, 35.1 files/s, 0:08 left"
std::string ProgressText(const char* command, const ProgressCounts& counts);

class ProgressLine {
  public:
    // Draws on `err` only when `shown`.
    ProgressLine(std::ostream& err, bool shown) : err_(err), shown_(shown) {}

    void Draw(const std::string& text);
    // Takes the line away, for another line to be written in its place.
    void Clear();

  private:
    std::ostream& err_;
    bool shown_;
    size_t width_ = 0;  // of the line on the terminal now
};
