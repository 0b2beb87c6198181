#pragma once

#include <QByteArray>
#include <QSize>
#include <optional>
#include <vector>

// The members of an Apple icon (.icns) file, measured without decoding their pixels.
namespace bw::image {

struct IcnsMember {
    QByteArray type;
    QSize size;
    // The member's data without its 8-byte entry header.
    QByteArray data;
    // The 8-bit mask member that legacy 24-bit images need, when the file has it.
    std::optional<QByteArray> maskEntry;
};

bool hasIcnsSignature(const QByteArray& bytes);

// The image members of an .icns file in file order; masks and other entries are left out.
std::vector<IcnsMember> icnsMembers(const QByteArray& bytes);

// A one-image .icns holding only `member` (and its mask), for a decoder that reads whole files.
QByteArray singleMemberIcns(const IcnsMember& member);

} // namespace bw::image
