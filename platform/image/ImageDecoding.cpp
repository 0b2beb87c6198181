#include "platform/image/ImageDecoding.h"

#include "platform/image/CgbiDecoder.h"
#include "platform/image/IcnsContainer.h"
#include "platform/image/PngChunks.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <functional>

namespace bw::image {

namespace {

// Files with more frames or icon members than this are measured only as far as this: a crafted
// file of 100,000 empty members otherwise took seconds, each member failing to decode in turn.
constexpr int maxMembers = 256;

struct Member {
    QSize size;
    std::function<std::optional<QImage>()> decode;
};

qint64 area(QSize size) {
    return qint64(size.width()) * qint64(size.height());
}

std::optional<QImage> decodeWithQt(const QByteArray& bytes, int index, const QByteArray& format,
                                   qint64 maxPixels) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // A second guard in case a decoder allocates more than the header declared.
    reader.setAllocationLimit(int(std::min<qint64>(maxPixels * 4 / (1024 * 1024) + 1, 1 << 30)));
    if (index > 0 && !reader.jumpToImage(index)) {
        return std::nullopt;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

std::vector<Member> qtMembers(const QByteArray& bytes, qint64 maxPixels) {
    if (hasPngSignature(bytes) && !pngChunksFitInData(bytes)) {
        return {};
    }
    QBuffer probe;
    probe.setData(bytes);
    probe.open(QIODevice::ReadOnly);
    QImageReader counter(&probe);
    if (!counter.canRead()) {
        return {};
    }
    const int count = std::clamp(counter.imageCount(), 1, maxMembers);
    std::vector<Member> members;
    for (int index = 0; index < count; ++index) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        if (index > 0 && !reader.jumpToImage(index)) {
            break;
        }
        const QSize size = reader.size();
        if (!size.isValid() || size.isEmpty()) {
            continue;
        }
        members.push_back({size, [bytes, index, maxPixels] {
                               return decodeWithQt(bytes, index, {}, maxPixels);
                           }});
    }
    return members;
}

std::vector<Member> members(const QByteArray& bytes, qint64 maxPixels);

std::vector<Member> icnsImageMembers(const QByteArray& bytes, qint64 maxPixels) {
    std::vector<Member> result;
    for (IcnsMember& member : icnsMembers(bytes)) {
        if (result.size() == std::size_t(maxMembers)) {
            break;
        }
        const QSize size = member.size;
        if (hasPngSignature(member.data)) {
            result.push_back({size, [data = member.data, maxPixels]() -> std::optional<QImage> {
                                  const auto inner = members(data, maxPixels);
                                  if (inner.size() != 1) {
                                      return std::nullopt;
                                  }
                                  return inner.front().decode();
                              }});
        } else {
            result.push_back({size, [file = singleMemberIcns(member), maxPixels] {
                                  return decodeWithQt(file, 0, "icns", maxPixels);
                              }});
        }
    }
    return result;
}

std::vector<Member> members(const QByteArray& bytes, qint64 maxPixels) {
    if (hasIcnsSignature(bytes)) {
        return icnsImageMembers(bytes, maxPixels);
    }
    if (const auto header = readPngHeader(bytes); header && header->cgbi) {
        return {{header->size, [bytes, maxPixels] { return decodeCgbi(bytes, maxPixels); }}};
    }
    return qtMembers(bytes, maxPixels);
}

} // namespace

std::vector<QSize> imageSizes(const QByteArray& bytes) {
    std::vector<QSize> sizes;
    for (const Member& member : members(bytes, maxDecodedPixels)) {
        sizes.push_back(member.size);
    }
    return sizes;
}

std::optional<QImage> decodeLargestImage(const QByteArray& bytes, qint64 maxPixels) {
    std::vector<Member> candidates;
    for (Member& member : members(bytes, maxPixels)) {
        if (area(member.size) <= maxPixels) {
            candidates.push_back(std::move(member));
        }
    }
    // Largest first, the earlier one on a tie; a member that fails to decode gives way to the next.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Member& a, const Member& b) { return area(a.size) > area(b.size); });
    for (const Member& member : candidates) {
        auto image = member.decode();
        // A decoder must not hand back more than its header promised.
        if (image && area(image->size()) <= maxPixels) {
            return image;
        }
    }
    return std::nullopt;
}

} // namespace bw::image
