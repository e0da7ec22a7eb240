#include "model/ValueCheck.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <string>

#include "model/Irregularities.h"
#include "model/ModelFile.h"

namespace {

class Values {
  public:
    explicit Values(Irregularities& found) : found_(found) {}

    // `where` names the float ("block 4 record 17 Y") once it is told.
    template <class Where>
    void Check(float value, const Where& where) {
        if ((std::isfinite(value) && std::abs(value) <= kHugeValue) || found_.CountIfFull("value"))
            return;
        char text[48];
        std::snprintf(text, sizeof text, ": %g, %s", static_cast<double>(value),
                      std::isfinite(value) ? "beyond any model's size" : "not a finite number");
        found_.Add("value", where() + text);
    }

    // Every float of each record of block `block`, named by `names`.
    template <class Record, size_t N>
    void Block(int block, const std::vector<Record>& records, const char* const (&names)[N]) {
        static_assert(sizeof(Record) == N * sizeof(float));
        for (size_t r = 0; r < records.size(); ++r) {
            const auto floats = std::bit_cast<std::array<float, N>>(records[r]);
            for (size_t i = 0; i < N; ++i)
                Check(floats[i], [&] {
                    return "block " + std::to_string(block) + " record " + std::to_string(r) + " " +
                           names[i];
                });
        }
    }

  private:
    Irregularities& found_;
};

}  // namespace

void CheckValues(const ModelFile& model, Irregularities& found) {
    Values values(found);
    const float* box = model.Header().BoundingBox;
    for (size_t i = 0; i < 6; ++i)
        values.Check(box[i], [i] { return "header: BoundingBox[" + std::to_string(i) + "]"; });
    values.Block(4, model.Vertices(), {"X", "Y", "Z"});
    values.Block(6, model.Normals(), {"X", "Y", "Z"});
    values.Block(18, model.TexVertices(), {"S", "T"});
    const std::vector<float>& transforms = model.Transforms();
    for (size_t i = 0; i < transforms.size(); ++i)
        values.Check(transforms[i], [i] { return "block 24 float " + std::to_string(i); });
}

void CheckPointValues(std::span<const float> points, Irregularities& found) {
    Values values(found);
    static const char* const kAxes[] = {"X", "Y", "Z"};
    for (size_t i = 0; i < points.size(); ++i)
        values.Check(points[i],
                     [&] { return "point " + std::to_string(i / 3) + " " + kAxes[i % 3]; });
}
