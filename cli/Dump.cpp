// dump: the Data View's text of one block, byte for byte.

#include <algorithm>
#include <ostream>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "dataview/DataText.h"
#include "document/Document.h"
#include "model/Blocks.h"

std::string DumpableBlocks() {
    std::string list;
    for (const dataview::DataViewEntry& entry : dataview::kDataViewEntries) {
        if (entry.Block == dataview::kHeaderBlock)
            continue;
        if (!list.empty())
            list += ' ';
        list += std::to_string(entry.Block);
    }
    return list;
}

int Dump(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.Positional[0];
    std::string blockWord = args.Value("--block", "header");
    int64_t block = dataview::kHeaderBlock;
    // A number beyond int is no block: it must not wrap round to one.
    const bool number = ParseNumber(blockWord, block) && block == static_cast<int>(block);
    if (blockWord != "header" && (!number || block == dataview::kHeaderBlock ||
                                  dataview::FindEntry(static_cast<int>(block)) < 0)) {
        // A block of the file that the Data View has no text for is named as such.
        const BlockInfo* known = number ? FindBlock(static_cast<int>(block)) : nullptr;
        if (known)
            err << "kestrel dump: block " << block << " (" << known->Title << ") has no text form";
        else
            err << "kestrel dump: unknown block '" << blockWord << "'";
        err << ": use header or one of " << DumpableBlocks() << "\n";
        return kExitUsage;
    }
    int64_t set = 0;
    if (args.Has("--set") && !ParseNumber(args.Value("--set"), set)) {
        err << "kestrel dump: the set must be a number, not '" << args.Value("--set") << "'\n";
        return kExitUsage;
    }

    const Document document = LoadDocument(path, ArchiveOptions(args));
    if (document.Kind == FileKind::Unreadable) {
        err << "kestrel dump: " << CannotRead(document) << "\n";
        return kExitFile;
    }
    if (document.Kind != FileKind::ModelFile) {
        err << "kestrel dump: " << path << " is not a model file\n";
        return kExitFile;
    }
    TellArchiveProblem(document, "dump", err);
    std::string text =
        dataview::EntryText(&document.Model, document.HasArchive() ? &document.Archive : nullptr,
                            dataview::FindEntry(static_cast<int>(block)), set);
    if (args.Flags.count("--lf")) {
        std::string unix;
        unix.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                continue;
            unix += text[i];
        }
        text.swap(unix);
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    // The text says that there is no such set; the status says it too.
    const size_t sets =
        std::min(document.Model.AnimationSets().size(), document.Model.AnimationSetIndex().size());
    if (block == 27 && args.Has("--set") && (set < 0 || static_cast<uint64_t>(set) >= sets)) {
        err << "kestrel dump: " << path << " has no animation set " << set << "\n";
        return kExitFile;
    }
    return kExitOk;
}
