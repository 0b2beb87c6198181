#include "platform/image/IcnsContainer.h"

#include "platform/image/ByteReading.h"
#include "platform/image/PngChunks.h"

#include <array>
#include <map>

namespace bw::image {

namespace {

struct MemberKind {
    const char* type;
    int width;
    int height;
    const char* mask;
};

// Nominal sizes of the image entry types; PNG members are measured from their own header.
constexpr std::array<MemberKind, 30> memberKinds{{
    {"ICON", 32, 32, nullptr},   {"ICN#", 32, 32, nullptr},   {"icm#", 16, 12, nullptr},
    {"icm4", 16, 12, nullptr},   {"icm8", 16, 12, nullptr},   {"ics#", 16, 16, nullptr},
    {"ics4", 16, 16, nullptr},   {"ics8", 16, 16, nullptr},   {"is32", 16, 16, "s8mk"},
    {"icl4", 32, 32, nullptr},   {"icl8", 32, 32, nullptr},   {"il32", 32, 32, "l8mk"},
    {"ich#", 48, 48, nullptr},   {"ich4", 48, 48, nullptr},   {"ich8", 48, 48, nullptr},
    {"ih32", 48, 48, "h8mk"},    {"it32", 128, 128, "t8mk"},  {"icp4", 16, 16, nullptr},
    {"icp5", 32, 32, nullptr},   {"icp6", 64, 64, nullptr},   {"ic07", 128, 128, nullptr},
    {"ic08", 256, 256, nullptr}, {"ic09", 512, 512, nullptr}, {"ic10", 1024, 1024, nullptr},
    {"ic11", 32, 32, nullptr},   {"ic12", 64, 64, nullptr},   {"ic13", 256, 256, nullptr},
    {"ic14", 512, 512, nullptr}, {"ic04", 16, 16, nullptr},   {"ic05", 32, 32, nullptr},
}};

const MemberKind* kindOf(const QByteArray& type) {
    for (const MemberKind& kind : memberKinds) {
        if (type == kind.type) {
            return &kind;
        }
    }
    return nullptr;
}

QByteArray bigEndian32(uint32_t value) {
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

} // namespace

bool hasIcnsSignature(const QByteArray& bytes) {
    return bytes.startsWith("icns");
}

std::vector<IcnsMember> icnsMembers(const QByteArray& bytes) {
    if (!hasIcnsSignature(bytes)) {
        return {};
    }
    std::map<QByteArray, QByteArray> entries;
    std::vector<std::pair<QByteArray, QByteArray>> ordered;
    qsizetype offset = 8;
    while (offset + 8 <= bytes.size()) {
        const QByteArray type = bytes.mid(offset, 4);
        const auto length = readBigEndian32(bytes, offset + 4);
        if (!length || *length < 8 || qsizetype(*length) > bytes.size() - offset) {
            break;
        }
        const QByteArray entry = bytes.mid(offset, qsizetype(*length));
        entries.emplace(type, entry);
        ordered.emplace_back(type, entry);
        offset += qsizetype(*length);
    }
    std::vector<IcnsMember> members;
    for (const auto& [type, entry] : ordered) {
        const MemberKind* kind = kindOf(type);
        if (kind == nullptr) {
            continue;
        }
        IcnsMember member{type, QSize(kind->width, kind->height), entry.mid(8), std::nullopt};
        if (hasPngSignature(member.data)) {
            const auto header = readPngHeader(member.data);
            if (!header) {
                continue;
            }
            member.size = header->size;
        }
        if (kind->mask != nullptr) {
            const auto mask = entries.find(QByteArray(kind->mask));
            if (mask != entries.end()) {
                member.maskEntry = mask->second;
            }
        }
        members.push_back(std::move(member));
    }
    return members;
}

QByteArray singleMemberIcns(const IcnsMember& member) {
    QByteArray body = member.type + bigEndian32(uint32_t(member.data.size() + 8)) + member.data;
    if (member.maskEntry) {
        body += *member.maskEntry;
    }
    return "icns" + bigEndian32(uint32_t(body.size() + 8)) + body;
}

} // namespace bw::image
