// The benchmark program's main: runs every benchmark with the usual console
// output, then prints one table of all of them, each beside the reference of
// its group measured in the same run, and writes it as Markdown when asked.
//
// Names are "<group>/<case>"; the case of a group whose name starts with
// "reference" is what the others are compared with. Throughput comes from
// SetBytesProcessed, or SetItemsProcessed with the items named by SetLabel.
//
//   kestrel_bench [benchmark flags] [--results=<file.md>]

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Result {
    std::string Group;
    std::string Case;
    double Seconds = 0;  // wall-clock time of one iteration
    std::string Throughput;
    std::string Error;
    double Psnr = -1;       // the "psnr_db" counter, when the benchmark sets it
    double Megatexels = 0;  // the "megatexels" counter: texels of one iteration
};

std::string Format(const char* format, double value, const char* unit) {
    char text[64];
    std::snprintf(text, sizeof text, format, value, unit);
    return text;
}

// Three significant digits in the largest unit that keeps the value >= 1.
std::string Scaled(double value, const char* const units[], int count, double step) {
    int u = 0;
    while (u + 1 < count && value >= step) {
        value /= step;
        ++u;
    }
    const char* format = value >= 100 ? "%.0f %s" : value >= 10 ? "%.1f %s" : "%.2f %s";
    return Format(format, value, units[u]);
}

std::string Duration(double seconds) {
    static const char* const units[] = {"ns", "µs", "ms", "s"};
    return Scaled(seconds * 1e9, units, 4, 1000);
}

// "1.23 GB/s" for bytes, "1.23 M texels/s" for items.
std::string Rate(double perSecond, const std::string& noun) {
    static const char* const units[] = {"", "k", "M", "G"};
    std::string scaled = Scaled(perSecond, units, 4, 1000);  // "1.23 M" or "1.23 "
    if (noun != "B" && scaled.back() != ' ')
        scaled += ' ';
    return scaled + noun + "/s";
}

class TableReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            Result r;
            // How the time was taken is said once, above the table.
            std::string name = run.benchmark_name();
            if (const size_t clock = name.rfind("/real_time"); clock != std::string::npos)
                name.erase(clock);
            const size_t slash = name.find('/');
            r.Group = slash == std::string::npos ? name : name.substr(0, slash);
            r.Case = slash == std::string::npos ? "" : name.substr(slash + 1);
            if (run.error_occurred) {
                r.Error = run.error_message;
            } else {
                r.Seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
                if (auto bytes = run.counters.find("bytes_per_second"); bytes != run.counters.end())
                    r.Throughput = Rate(bytes->second.value, "B");
                else if (auto items = run.counters.find("items_per_second");
                         items != run.counters.end()) {
                    r.Throughput = Rate(items->second.value,
                                        run.report_label.empty() ? "items" : run.report_label);
                }
                if (auto psnr = run.counters.find("psnr_db"); psnr != run.counters.end())
                    r.Psnr = psnr->second.value;
                if (auto texels = run.counters.find("megatexels"); texels != run.counters.end())
                    r.Megatexels = texels->second.value;
            }
            results_.push_back(r);
        }
    }

    const std::vector<Result>& Results() const { return results_; }

  private:
    std::vector<Result> results_;
};

bool IsReference(const Result& r) {
    return r.Case.rfind("reference", 0) == 0;
}

std::string Table(const std::vector<Result>& results) {
    // Groups in the order they ran, the reference first in each.
    std::vector<std::string> groups;
    std::map<std::string, const Result*> references;
    for (const Result& r : results) {
        if (std::find(groups.begin(), groups.end(), r.Group) == groups.end())
            groups.push_back(r.Group);
        if (IsReference(r) && r.Error.empty())
            references[r.Group] = &r;
    }
    std::ostringstream out;
    out << "| Group | Case | Time | Throughput | Ratio to reference |\n";
    out << "|---|---|---:|---:|---:|\n";
    for (const std::string& group : groups) {
        const Result* reference = references.count(group) ? references[group] : nullptr;
        std::vector<const Result*> rows;
        if (reference)
            rows.push_back(reference);
        for (const Result& r : results)
            if (r.Group == group && &r != reference)
                rows.push_back(&r);
        bool first = true;
        for (const Result* r : rows) {
            out << "| " << (first ? group : "") << " | " << r->Case << " | ";
            first = false;
            if (!r->Error.empty()) {
                out << "error: " << r->Error << " | | |\n";
                continue;
            }
            out << Duration(r->Seconds) << " | " << r->Throughput << " | ";
            if (r == reference)
                out << "1 (reference)";
            else if (reference && reference->Seconds > 0)
                out << Format("%.2f%s", r->Seconds / reference->Seconds, " ×");
            else
                out << "no reference";
            out << " |\n";
        }
    }
    return out.str();
}

// The packs: quality of the compressed format where measured, and time per
// megatexel.
std::string PackTable(const std::vector<Result>& results) {
    std::ostringstream out;
    out << "| Group | Case | PSNR | Time per megatexel |\n";
    out << "|---|---|---:|---:|\n";
    for (const Result& r : results) {
        if (r.Group.rfind("pack", 0) != 0 || !r.Error.empty())
            continue;
        out << "| " << r.Group << " | " << r.Case << " | "
            << (r.Psnr >= 0 ? Format("%.2f %s", r.Psnr, "dB") : "") << " | "
            << (r.Megatexels > 0 ? Duration(r.Seconds / r.Megatexels) : "") << " |\n";
    }
    return out.str();
}

std::string CpuName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            const size_t colon = line.find(':');
            if (colon != std::string::npos)
                return line.substr(line.find_first_not_of(' ', colon + 1));
        }
    }
    return "unknown processor";
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", std::gmtime(&now));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string resultsFile;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--results=", 10) == 0) {
            resultsFile = argv[i] + 10;
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
            return 2;
        }
    }

    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const std::string table = Table(reporter.Results());
    const std::string packs = PackTable(reporter.Results());
    std::cout << "\n" << table << "\n" << packs;
    if (!resultsFile.empty()) {
        std::ofstream out(resultsFile, std::ios::trunc);
        out << "# Benchmarks\n\n"
            << "Produced by `make bench` (release build) on " << CpuName() << ", "
            << std::thread::hardware_concurrency() << " hardware threads, " << Today() << ".\n\n"
            << "Time is the wall-clock time of one iteration. The ratio compares it with the\n"
            << "reference of its group, measured in the same run: a plain read of the same\n"
            << "files, a memcpy of the decoded size, glTexImage2D of images already decoded\n"
            << "and sized, client-side vertex arrays of the same geometry, formatting the\n"
            << "same values with snprintf; for the walks of hostile models, the smallest\n"
            << "file of the shape, so the ratio grows as the file does. OpenGL figures are\n"
            << "Mesa's llvmpipe on an offscreen EGL surface; the machine is shared, so\n"
            << "figures vary by some percent from run to run.\n\n"
            << table << "\n## Packing edited pictures\n\n"
            << "`kestrel pack` on 1024 x 1024 pictures. pack_compressed: the compressed\n"
            << "format's blocks from stb_dxt (what pack uses) and, as the yardstick, from\n"
            << "libsquish's cluster fit, both reordered into the archive's tiles and\n"
            << "decoded by the viewer's decoder; PSNR is of the red, green and blue of the\n"
            << "texels the picture shows (alpha 128 and up; the format shows the others as\n"
            << "transparent black). The pictures: gradients (a sky over hills, with grain\n"
            << "like a photo's), hard edges (saturated stripes, a checkerboard, thin\n"
            << "lines), alpha (discs of leaf with see-through holes between). pack: a\n"
            << "whole pack of the gradients picture into an archive of one image in each\n"
            << "format, against decoding that image, which a pack does to compare.\n\n"
            << packs;
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", resultsFile.c_str());
            return 1;
        }
    }
    return 0;
}
