#include "cli/Batch.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>
#include <numeric>
#include <optional>
#include <sstream>
#include <system_error>
#include <thread>

#include "cli/Args.h"
#include "cli/Cli.h"
#include "cli/Console.h"
#include "cli/Progress.h"
#include "model/Text.h"
#include "model/Utf8Path.h"

namespace fs = std::filesystem;

namespace {

// A file the walk reached.
struct WalkedFile {
    std::string Path;
    fs::path Relative;  // under its PATH; the file name for a file named
    bool Named = false;
    bool Other = false;  // no regular file (a device, a dangling link): skipped
    std::string Error;   // a folder that cannot be read, and why
};

bool Hidden(const fs::path& name) {
    return Utf8FromPath(name).rfind('.', 0) == 0;
}

// `relative` under the folder `folder`, in the words of `folder`: the separator
// it uses joins the parts, so paths typed with slashes are printed with slashes
// on every platform.
std::string Joined(std::string folder, const fs::path& relative) {
    for (const fs::path& part : relative)
        folder = InFolder(folder, Utf8FromPath(part));
    return folder;
}

// Appends the files under `root`: each folder's files in name order, then
// its folders in name order, each the same way. Folders wait on a stack of
// their own: a tree as deep as the file system allows cannot exhaust this one's.
void WalkFolder(const std::string& root, const fs::path& skip, std::vector<WalkedFile>& files) {
    std::vector<fs::path> stack = {fs::path()};  // folders, relative to the root
    while (!stack.empty()) {
        const fs::path relative = stack.back();
        stack.pop_back();
        const std::string text = Joined(root, relative);
        const fs::path folder = PathFromUtf8(text);
        std::error_code error;
        std::vector<fs::path> names, folders;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code ignored;
            // A link to a folder is not followed: a tree may link back up.
            if (!it->is_directory(ignored))
                names.push_back(it->path().filename());
            else if (!it->is_symlink(ignored))
                folders.push_back(it->path().filename());
        }
        if (error) {
            files.push_back({text, relative, false, false, error.message()});
            continue;
        }
        std::sort(names.begin(), names.end());
        for (const fs::path& name : names) {
            std::error_code ignored;
            const bool regular = fs::is_regular_file(folder / name, ignored);
            files.push_back({Joined(text, name), relative / name, false, !regular, {}});
        }
        std::sort(folders.rbegin(), folders.rend());
        for (const fs::path& name : folders) {
            std::error_code ignored;
            if (!Hidden(name) && (skip.empty() || !fs::equivalent(folder / name, skip, ignored)))
                stack.push_back(relative / name);
        }
    }
}

std::vector<WalkedFile> WalkPaths(const std::vector<std::string>& paths, const fs::path& skip) {
    std::vector<WalkedFile> files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (fs::is_directory(PathFromUtf8(path), error))
            WalkFolder(path, skip, files);
        else
            files.push_back({path, PathFromUtf8(path).filename(), true, false, {}});
    }
    return files;
}

// In a run, every message says which file it is about: a line of `text`
// after `prefix` that does not name `path` gets it.
std::string NamingFile(const std::string& text, const std::string& prefix,
                       const std::string& path) {
    std::string named;
    for (size_t begin = 0; begin < text.size();) {
        const size_t newline = text.find('\n', begin);
        const size_t end = newline == std::string::npos ? text.size() : newline + 1;
        std::string line = text.substr(begin, end - begin);
        if (line.rfind(prefix, 0) == 0 && line.find(path, prefix.size()) == std::string::npos)
            line.insert(prefix.size(), path + ": ");
        named += line;
        begin = end;
    }
    return named;
}

// Most threads a run takes: far more than any machine has cores.
constexpr size_t kMaxJobs = 1024;

// A file of the run, as the walk found it.
struct Planned {
    BatchFile File;
    bool Other = false;  // no regular file: skipped
    std::string Error;   // a folder that cannot be read, and why
    // The files before this one whose output goes where its own does.
    std::vector<size_t> Earlier;
};

// One run: the files, the workers that take them in turn, and what is
// printed, in the files' order and as they end.
class Run {
  public:
    Run(const BatchCommand& command, std::vector<Planned> files, std::ostream& out,
        std::ostream& err, bool progress)
        : command_(command),
          prefix_(std::string("kestrel ") + command.Name + ": "),
          files_(std::move(files)),
          results_(files_.size()),
          out_(out),
          err_(err),
          outOnTerminal_(IsTerminal(out)),
          progress_(err, progress) {}

    int Go(size_t jobs);

  private:
    size_t Count(Outcome outcome) const { return counts_[static_cast<size_t>(outcome)]; }
    void Work();
    Outcome Do(const Planned& planned, std::ostream& out, std::ostream& err);
    bool Taken(const Planned& planned) const;
    void Finished(size_t index, Outcome outcome, const std::string& out, const std::string& err);
    void PrintInOrder();
    void Summarise(bool stopped);

    const BatchCommand& command_;
    const std::string prefix_;
    const std::vector<Planned> files_;

    std::mutex mutex_;
    std::condition_variable changed_;
    size_t next_ = 0;     // the next file to take
    size_t working_ = 0;  // workers not yet out of files
    size_t printed_ = 0;  // files whose results are out
    bool anyPrinted_ = false;
    std::vector<std::optional<std::string>> results_;
    std::array<size_t, static_cast<size_t>(Outcome::Failed) + 1> counts_{};  // ended, by outcome
    std::ostream& out_;
    std::ostream& err_;
    const bool outOnTerminal_;
    ProgressLine progress_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

bool Run::Taken(const Planned& planned) const {
    if (planned.Other || !planned.Error.empty())
        return false;
    return planned.File.Named || command_.Takes(IdentifyFile(planned.File.Path));
}

Outcome Run::Do(const Planned& planned, std::ostream& out, std::ostream& err) {
    const BatchFile& file = planned.File;
    if (!planned.Error.empty()) {
        err << prefix_ << "cannot read the folder " << file.Path << ": " << planned.Error << "\n";
        return Outcome::Failed;
    }
    // What the command has no use for is counted, not read: a file named is
    // taken as it is alone, as a point dump too.
    if (planned.Other)
        return Outcome::Skipped;
    if (!file.Named) {
        const FileKind kind = IdentifyFile(file.Path);
        if (kind != FileKind::Unreadable && !command_.Takes(kind))
            return Outcome::Skipped;
    }
    // The first file in the run's order keeps an output two files would share.
    for (const size_t before : planned.Earlier) {
        if (Taken(files_[before])) {
            err << prefix_ << file.Path << ": " << file.Target << " is where "
                << files_[before].File.Path << " goes; left out\n";
            return Outcome::Failed;
        }
    }
    try {
        return command_.Run(file, out, err);
    } catch (const std::bad_alloc&) {
        err << prefix_ << "out of memory\n";
    } catch (const std::exception& failure) {
        err << prefix_ << failure.what() << "\n";
    }
    return Outcome::Failed;
}

void Run::Work() {
    for (;;) {
        size_t index = 0;
        {
            std::lock_guard lock(mutex_);
            // Ctrl+C, or standard output gone: no file more is started.
            if (next_ == files_.size() || StopRequests::Asked() || !out_) {
                --working_;
                changed_.notify_all();
                return;
            }
            index = next_++;
        }
        std::ostringstream out, err;
        const Outcome outcome = Do(files_[index], out, err);
        Finished(index, outcome, out.str(),
                 NamingFile(err.str(), prefix_, files_[index].File.Path));
    }
}

void Run::Finished(size_t index, Outcome outcome, const std::string& out, const std::string& err) {
    std::lock_guard lock(mutex_);
    ++counts_[static_cast<size_t>(outcome)];
    // What a file says goes out as it ends; its results wait for the files before.
    if (!err.empty()) {
        progress_.Clear();
        err_ << err;
        err_.flush();
    }
    results_[index] = outcome == Outcome::Skipped ? std::string() : out;
    PrintInOrder();
    changed_.notify_all();
}

void Run::PrintInOrder() {
    for (; printed_ < results_.size() && results_[printed_]; ++printed_) {
        std::string result;
        result.swap(*results_[printed_]);
        if (result.empty())
            continue;
        // Results to the terminal the progress line is on take its place.
        if (outOnTerminal_)
            progress_.Clear();
        if (command_.Json)
            out_ << (anyPrinted_ ? ",\n" : "\n") << Prefixed(result, "    ");
        else
            out_ << result;
        out_.flush();
        anyPrinted_ = true;
    }
}

void Run::Summarise(bool stopped) {
    const size_t notStarted = files_.size() - next_;
    if (command_.Json) {
        nlohmann::ordered_json summary = {{"files", files_.size()},
                                          {command_.DoneWord, Count(Outcome::Done)},
                                          {"skipped", Count(Outcome::Skipped)},
                                          {"irregular", Count(Outcome::Irregular)},
                                          {"failed", Count(Outcome::Failed)},
                                          {"notStarted", notStarted},
                                          {"interrupted", stopped}};
        out_ << (anyPrinted_ ? "\n  ]" : "]")
             << ",\n  \"summary\": " << Prefixed(summary.dump(2), "  ").substr(2) << "\n}\n";
        return;
    }
    out_ << Counted(files_.size(), "file") << ": " << Count(Outcome::Done) << " "
         << command_.DoneWord << ", " << Count(Outcome::Skipped) << " skipped, "
         << Count(Outcome::Irregular) << " irregular, " << Count(Outcome::Failed) << " failed";
    if (stopped)
        out_ << ", " << notStarted << " not started (interrupted)";
    out_ << "\n";
}

int Run::Go(size_t jobs) {
    const StopRequests stops;
    if (command_.Json)
        out_ << "{\n  \"files\": [";
    std::vector<std::thread> workers;
    {
        std::unique_lock lock(mutex_);
        working_ = std::max<size_t>(1, std::min(jobs, files_.size()));
        // Workers wait for the lock until all are made; as many as the system gives.
        try {
            while (workers.size() < working_)
                workers.emplace_back(&Run::Work, this);
        } catch (const std::system_error&) {
            working_ = workers.size();
        }
        bool told = false;
        while (working_ > 0) {
            changed_.wait_for(lock, std::chrono::milliseconds(100), [&] { return working_ == 0; });
            if (StopRequests::Asked() && !told) {
                progress_.Clear();
                err_ << prefix_
                     << "interrupted: the files at work are finished, no other is started\n";
                told = true;
            }
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
            const size_t done = std::accumulate(counts_.begin(), counts_.end(), size_t{0});
            progress_.Draw(ProgressText(command_.Name,
                                        {done, files_.size(), Count(Outcome::Failed), seconds}));
        }
    }
    // Not one thread to be had: the files one after another, here.
    if (workers.empty()) {
        working_ = 1;
        Work();
    }
    for (std::thread& worker : workers)
        worker.join();
    progress_.Clear();
    const bool stopped = StopRequests::Asked();
    Summarise(stopped);
    if (stopped)
        return kExitInterrupted;
    const bool failed =
        Count(Outcome::Failed) > 0 || (command_.IrregularFails && Count(Outcome::Irregular) > 0);
    return failed ? kExitFile : kExitOk;
}

}  // namespace

std::string Prefixed(const std::string& text, const std::string& prefix) {
    std::string lines;
    for (size_t begin = 0; begin < text.size();) {
        const size_t end = std::min(text.find('\n', begin), text.size() - 1) + 1;
        lines += prefix + text.substr(begin, end - begin);
        begin = end;
    }
    return lines;
}

bool IsBatch(const Args& args, bool oneFileAlone) {
    if (oneFileAlone && args.Positional.size() > 1)
        return true;
    return std::any_of(args.Positional.begin(), args.Positional.end(), [](const std::string& path) {
        std::error_code error;
        return fs::is_directory(PathFromUtf8(path), error);
    });
}

int RunBatch(const Args& args, const BatchCommand& command, std::ostream& out, std::ostream& err) {
    const std::string prefix = std::string("kestrel ") + command.Name + ": ";
    size_t jobs = std::max(1u, std::thread::hardware_concurrency());
    if (args.Has("-j") && (!ParseNumber(args.Value("-j"), jobs) || jobs < 1 || jobs > kMaxJobs)) {
        err << prefix << "-j wants a number of threads from 1 to " << kMaxJobs << "\n";
        return kExitUsage;
    }
    const std::string folder = args.Value("-o");
    const fs::path output = PathFromUtf8(folder);
    std::error_code error;
    if (command.Writes) {
        if (folder.empty()) {
            err << prefix << "say where the outputs go with -o FOLDER\n";
            return kExitUsage;
        }
        // A name that says it is one file would mislead: the run makes a folder.
        if (!command.Extension.empty() && LowerCaseExtension(folder) == command.Extension) {
            err << prefix << "folders go into a folder: -o FOLDER, not " << folder << "\n";
            return kExitUsage;
        }
        if (fs::exists(output, error) && !fs::is_directory(output, error)) {
            err << prefix << "cannot write into " << folder << ": not a folder\n";
            return kExitFile;
        }
    }
    const std::string archive = args.Value("--archive");
    const bool archiveFolder = !archive.empty() && fs::is_directory(PathFromUtf8(archive), error);

    // Where the outputs go is walked for no input: a second run over the same
    // tree finds there what the first one wrote.
    const fs::path skip = command.Writes && fs::is_directory(output, error) ? output : fs::path();
    std::vector<Planned> files;
    std::map<std::string, std::vector<size_t>> byTarget;
    for (WalkedFile& walked : WalkPaths(args.Positional, skip)) {
        Planned planned;
        planned.Other = walked.Other;
        planned.Error = walked.Error;
        BatchFile& file = planned.File;
        file.Path = walked.Path;
        file.Named = walked.Named;
        if (!archive.empty()) {
            file.ArchiveIsFolder = archiveFolder;
            file.Archive = archiveFolder && !walked.Named
                               ? Joined(archive, walked.Relative.parent_path())
                               : archive;
        }
        if (command.Writes) {
            fs::path target = walked.Relative;
            if (!command.Extension.empty())
                target.replace_extension(PathFromUtf8(command.Extension));
            file.Target = Joined(folder, target);
            std::vector<size_t>& sharing = byTarget[file.Target];
            planned.Earlier = sharing;
            sharing.push_back(files.size());
        }
        files.push_back(std::move(planned));
    }
    Run run(command, std::move(files), out, err, IsTerminal(err) && !args.Flags.count("--quiet"));
    return run.Go(jobs);
}
