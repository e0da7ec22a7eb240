#pragma once
// Text bound for a terminal. Names in game files may hold control characters
// that a terminal obeys (ESC [2J clears it); written to one, they are shown
// escaped: C0 controls other than tab and line ends, and DEL, as \xHH; C1
// controls (U+0080 to U+009F) as \u00HH, and so are lone bytes of that range,
// which some terminals take as C1 controls. Everything else passes as it is.

#include <streambuf>

class TerminalTextBuffer final : public std::streambuf {
  public:
    explicit TerminalTextBuffer(std::streambuf* target) : target_(target) {}
    // Writes a lead byte held back at the very end.
    ~TerminalTextBuffer() override;

  protected:
    int_type overflow(int_type c) override;
    int sync() override { return target_->pubsync(); }

  private:
    bool Put(unsigned char c);
    bool Escaped(const char* prefix, unsigned char c);

    std::streambuf* target_;
    bool afterC2_ = false;  // a 0xC2 held back: a C1 control may follow
    int continuation_ = 0;  // bytes still due of a multi-byte character
};
