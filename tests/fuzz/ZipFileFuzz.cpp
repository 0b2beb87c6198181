// Extraction reads the archive file itself (its central directory, the NUL-name refusal, the
// direct reader) beside libzip: whatever the bytes, extracting them stays inside the destination.
// The input is written to one file in a folder made once per process, on tmpfs when there is one,
// and extracted into a scratch folder beside it that is emptied after each input.
#include "platform/zip/Archive.h"
#include "platform/zip/ExtractionError.h"
#include "platform/zip/ExtractionPlan.h"
#include "platform/zip/Extractor.h"
#include "tests/fuzz/Fuzz.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

using bw::fuzz::require;

namespace {

// Larger plans are only planned: a few kilobytes of deflate data can declare megabytes.
constexpr std::uint64_t maximumExtractedBytes = 1 << 20;

// Made once per process and removed when it exits.
struct WorkFolder {
    fs::path path;
    WorkFolder() {
        const fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        path = base / ("bw-zip-file-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path / "out");
    }
    ~WorkFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

const fs::path& workFolder() {
    static const WorkFolder folder;
    return folder.path;
}

// Empties `folder`, opening up folders whose extracted mode shuts their owner out, and checks
// that every link made points inside `root`.
void empty(const fs::path& folder, const fs::path& root) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.is_symlink()) {
            const fs::path target = (folder / fs::read_symlink(entry.path())).lexically_normal();
            const fs::path inside = target.lexically_relative(root);
            require(!inside.empty() && *inside.begin() != "..");
        } else if (entry.is_directory()) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
            empty(entry.path(), root);
        }
        fs::remove(entry.path());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path archive = workFolder() / "archive.zip";
    const fs::path out = workFolder() / "out";
    std::ofstream(archive, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    try {
        if (bw::zip::planExtraction(bw::zip::Archive::open(archive)).declaredBytes <=
            maximumExtractedBytes) {
            bw::zip::extractArchive(archive, out, 1);
        }
    } catch (const bw::zip::ExtractionError&) {
    }
    empty(out, out);
    // Nothing beside the archive and the scratch folder.
    require(std::distance(fs::directory_iterator(workFolder()), fs::directory_iterator()) == 2);
    return 0;
}
