#include "model/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "model/Utf8Path.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string ErrnoText() {
    return errno ? std::strerror(errno) : "write failed";
}

// Where the bytes for `path` go: past every symbolic link, to the file the
// last one names (which need not exist yet). False, with `why`, when that is
// something other than a regular file.
bool Resolve(const fs::path& path, fs::path& target, std::string& why) {
    target = path;
    for (int links = 0;; ++links) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(target, error);
        if (status.type() == fs::file_type::not_found)
            return true;
        if (error) {
            why = error.message();
            return false;
        }
        if (!fs::is_symlink(status)) {
            if (fs::is_regular_file(status))
                return true;
            why = "not a regular file";
            return false;
        }
        // As many links as the system itself follows in one path.
        const fs::path next = links < 40 ? fs::read_symlink(target, error) : fs::path();
        if (next.empty()) {
            why = error ? error.message() : "too many levels of symbolic links";
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
}

// A new file only this writer uses, for writing.
std::FILE* CreateNew(const fs::path& path) {
#ifdef _WIN32
    const int fd =
        _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    std::FILE* file = fd < 0 ? nullptr : _fdopen(fd, "wb");
    if (!file && fd >= 0)
        _close(fd);
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (!file && fd >= 0)
        ::close(fd);
#endif
    return file;
}

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

// Writes the contents into a new file beside `target`, in the same folder so
// that the rename cannot cross file systems. Returns its path, or empty with
// `why`.
fs::path WritePart(const fs::path& target, const FileWriter& write, std::string& why) {
    const std::string stem = Utf8FromPath(target) + ".part" + std::to_string(ProcessId());
    for (int n = 0; n < 100; ++n) {
        const fs::path part = PathFromUtf8(n ? stem + "-" + std::to_string(n) : stem);
        errno = 0;
        std::FILE* file = CreateNew(part);
        if (!file) {
            if (errno == EEXIST)
                continue;
            why = ErrnoText();
            return {};
        }
        errno = 0;
        bool ok = write(file) && std::fflush(file) == 0 && !std::ferror(file);
        ok = std::fclose(file) == 0 && ok;
        if (ok)
            return part;
        why = ErrnoText();
        std::error_code ignored;
        fs::remove(part, ignored);
        return {};
    }
    why = "no free name for a temporary file beside it";
    return {};
}

// Puts `part` in place of `target`, replacing what is there.
std::error_code Replace(const fs::path& part, const fs::path& target) {
#ifdef _WIN32
    if (!MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return std::error_code(static_cast<int>(GetLastError()), std::system_category());
#else
    if (std::rename(part.c_str(), target.c_str()) != 0)
        return std::error_code(errno, std::generic_category());
#endif
    return {};
}

bool Fail(std::string& error, const std::string& path, const std::string& why) {
    error = "cannot write " + path + ": " + why;
    return false;
}

}  // namespace

FileWriter BytesWriter(std::span<const uint8_t> bytes) {
    return [bytes](std::FILE* file) {
        return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    };
}

bool WriteFileAtomically(const std::string& path, const FileWriter& write, std::string& error) {
    const OutputFile file{path, write};
    return WriteFilesAtomically(std::span(&file, 1), error);
}

bool WriteFilesAtomically(std::span<const OutputFile> files, std::string& error) {
    std::string why;
    std::vector<fs::path> targets(files.size()), parts;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!Resolve(PathFromUtf8(files[i].Path), targets[i], why))
            return Fail(error, files[i].Path, why);
    }
    std::error_code ignored;
    for (size_t i = 0; i < files.size(); ++i) {
        // Missing folders on the way are made; they stay if the write fails.
        std::error_code failed;
        if (const fs::path folder = targets[i].parent_path(); !folder.empty())
            fs::create_directories(folder, failed);
        if (failed)
            return Fail(error, files[i].Path, failed.message());
    }
    for (size_t i = 0; i < files.size(); ++i) {
        parts.push_back(WritePart(targets[i], files[i].Write, why));
        if (parts.back().empty()) {
            for (const fs::path& part : parts)
                fs::remove(part, ignored);
            return Fail(error, files[i].Path, why);
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (const std::error_code failed = Replace(parts[i], targets[i])) {
            for (size_t k = 0; k < files.size(); ++k)
                fs::remove(k < i ? targets[k] : parts[k], ignored);
            return Fail(error, files[i].Path, failed.message());
        }
    }
    return true;
}
