#pragma once
// What the readers and the scenegraph walk met and skipped in a file: an index
// outside its table, a count the file cannot hold, a link that loops. They
// skip it as they must; whoever hands them a log (kestrel check) is told.
// A file with millions of bad indices keeps a bounded number of lines per
// kind and a count of all of them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class Irregularities {
  public:
    static constexpr size_t kLinesPerKind = 10;

    struct Kind {
        std::string Name;                // short, stable: "index", "cycle", "image-data", ...
        size_t Count = 0;                // all met, kept or not
        std::vector<std::string> Lines;  // the first kLinesPerKind of them
    };

    // `line` says where and what, e.g. "block 25 record 4: FirstChild 99
    // outside the table (17 records)".
    void Add(std::string_view kind, std::string line);
    // Counts one more of `kind` when its lines are already kept, so that the
    // line need not be made; false, counting nothing, when it would be kept.
    bool CountIfFull(std::string_view kind);

    // Kinds in the order first met.
    const std::vector<Kind>& Kinds() const { return kinds_; }
    size_t Count() const;
    bool Empty() const { return kinds_.empty(); }

  private:
    Kind& Find(std::string_view kind);

    std::vector<Kind> kinds_;
};
