#include "platform/zip/DirectReader.h"

#include "platform/zip/Archive.h"
#include "platform/zip/CentralDirectory.h"
#include "platform/zip/ExtractionError.h"
#include "platform/zip/ExtractionPlan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <zlib.h>

namespace bw::zip {

namespace {

using Kind = ExtractionError::Kind;

constexpr std::size_t localHeaderSize = 30;

bool startsLocalHeader(int fd, zip_uint64_t offset) {
    unsigned char signature[4];
    return readAt(fd, offset, signature, sizeof signature) && little(signature, 4) == 0x04034b50;
}

// The local header offset of every central directory record, checked against libzip's entry of
// the same index; nothing when any of them differs.
std::vector<zip_uint64_t> headerOffsets(int fd, zip_uint64_t fileSize, const Archive& archive) {
    const std::optional<CentralDirectory> directory = findCentralDirectory(fd, fileSize);
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (!directory || directory->entries != zip_uint64_t(count)) {
        return {};
    }
    const std::optional<std::vector<unsigned char>> read =
        readCentralDirectory(fd, fileSize, *directory);
    if (!read) {
        return {};
    }
    const std::vector<unsigned char>& bytes = *read;
    std::vector<zip_uint64_t> offsets;
    offsets.reserve(std::size_t(count));
    std::size_t at = 0;
    for (zip_int64_t index = 0; index < count; ++index) {
        const unsigned char* record = bytes.data() + at;
        if (bytes.size() - at < centralRecordSize || little(record, 4) != 0x02014b50) {
            return {};
        }
        const std::size_t nameSize = little(record + 28, 2);
        const std::size_t extraSize = little(record + 30, 2);
        const std::size_t recordSize =
            centralRecordSize + nameSize + extraSize + little(record + 32, 2);
        if (bytes.size() - at < recordSize) {
            return {};
        }
        const std::string_view name(reinterpret_cast<const char*>(record) + centralRecordSize,
                                    nameSize);
        const char* known = zip_get_name(archive.get(), zip_uint64_t(index), ZIP_FL_ENC_RAW);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (known == nullptr || name != known ||
            zip_stat_index(archive.get(), zip_uint64_t(index), 0, &stat) != 0) {
            return {};
        }
        const RecordSizes sizes = recordSizes(record);
        if (sizes.size != stat.size || sizes.compressedSize != stat.comp_size ||
            little(record + 16, 4) != stat.crc || little(record + 10, 2) != stat.comp_method) {
            return {};
        }
        offsets.push_back(sizes.headerOffset);
        at += recordSize;
    }
    // Data before the archive (a stub) would shift every entry: the first and the last header
    // must be where the directory says.
    if (!offsets.empty()) {
        const auto [first, last] = std::minmax_element(offsets.begin(), offsets.end());
        if (!startsLocalHeader(fd, *first) || !startsLocalHeader(fd, *last)) {
            return {};
        }
    }
    return offsets;
}

// zlib's stream for raw deflate data, ended however reading ends.
class Inflater {
public:
    Inflater() {
        if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) {
            throw std::bad_alloc();
        }
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
};

} // namespace

DirectReader::DirectReader(const std::filesystem::path& path, const Archive& archive)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat info {};
    if (fd_.valid() && ::fstat(fd_.get(), &info) == 0 && S_ISREG(info.st_mode)) {
        fileSize_ = zip_uint64_t(info.st_size);
        headerOffsets_ = headerOffsets(fd_.get(), fileSize_, archive);
    }
}

bool DirectReader::canRead(const PlannedEntry& entry) const {
    return entry.index < headerOffsets_.size() && !entry.encrypted &&
           (entry.method == ZIP_CM_STORE || entry.method == ZIP_CM_DEFLATE);
}

void DirectReader::read(const PlannedEntry& entry, std::vector<char>& buffer,
                        const std::function<void(const char*, std::size_t)>& consume) const {
    const auto damaged = [&](const char* detail) {
        return ExtractionError(Kind::damagedEntry, entry.name, detail);
    };
    const zip_uint64_t header = headerOffsets_[entry.index];
    unsigned char local[localHeaderSize];
    if (header > fileSize_ || !readAt(fd_.get(), header, local, sizeof local) ||
        little(local, 4) != 0x04034b50) {
        throw damaged("Not a zip archive");
    }
    zip_uint64_t at = header + localHeaderSize + little(local + 26, 2) + little(local + 28, 2);
    if (at > fileSize_ || entry.compressedSize > fileSize_ - at) {
        throw damaged("Premature end of file");
    }
    const zip_uint64_t end = at + entry.compressedSize;
    uLong crc = crc32(0, nullptr, 0);
    const auto deliver = [&](const char* data, std::size_t size) {
        crc = crc32_z(crc, reinterpret_cast<const Bytef*>(data), size);
        consume(data, size);
    };
    // Stored data goes from the file to `consume` in `buffer`; deflated data is read into the
    // first half and inflated into the second.
    const std::size_t half = buffer.size() / 2;
    std::optional<Inflater> inflater;
    if (entry.method == ZIP_CM_DEFLATE) {
        inflater.emplace();
    }
    bool finished = !inflater;
    while (at < end || (inflater && !finished)) {
        if (!inflater) {
            const std::size_t size = std::size_t(std::min<zip_uint64_t>(end - at, buffer.size()));
            if (!readAt(fd_.get(), at, buffer.data(), size)) {
                throw damaged("Read error");
            }
            at += size;
            deliver(buffer.data(), size);
            continue;
        }
        z_stream& stream = inflater->stream();
        if (stream.avail_in == 0) {
            if (at == end) {
                throw damaged("Premature end of file");
            }
            const std::size_t size = std::size_t(std::min<zip_uint64_t>(end - at, half));
            if (!readAt(fd_.get(), at, buffer.data(), size)) {
                throw damaged("Read error");
            }
            at += size;
            stream.next_in = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_in = uInt(size);
        }
        stream.next_out = reinterpret_cast<Bytef*>(buffer.data() + half);
        stream.avail_out = uInt(buffer.size() - half);
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            throw damaged("Zlib error: data error");
        }
        deliver(buffer.data() + half, buffer.size() - half - stream.avail_out);
        if (status == Z_STREAM_END) {
            finished = true;
            break;
        }
    }
    if (crc != entry.crc) {
        throw damaged("CRC error");
    }
}

} // namespace bw::zip
