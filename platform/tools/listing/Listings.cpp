#include "platform/tools/listing/Listings.h"

#include "platform/macho/SymbolTable.h"

namespace bw::tools {
namespace {

using namespace macho;

const char* dylibMark(DylibKind kind) {
    switch (kind) {
    case DylibKind::weak:
        return ", weak";
    case DylibKind::reexport:
        return ", reexport";
    case DylibKind::lazy:
        return ", lazy";
    case DylibKind::upward:
        return ", upward";
    case DylibKind::id:
    case DylibKind::load:
        break;
    }
    return "";
}

void appendDylibs(std::string& text, const MachOImage& image) {
    for (const DylibReference& dylib : image.dylibs) {
        text += '\t';
        text += dylib.installName;
        text += " (compatibility version ";
        text += formatVersion(dylib.compatibilityVersion);
        text += ", current version ";
        text += formatVersion(dylib.currentVersion);
        text += dylibMark(dylib.kind);
        text += ")\n";
    }
}

} // namespace

std::string architectureListing(const MachOFile& file) {
    std::string text;
    for (const Slice& slice : file.slices) {
        if (!text.empty()) {
            text += ' ';
        }
        text += slice.architecture();
    }
    return text + '\n';
}

std::string libraryListing(const std::string& path, const MachOFile& file) {
    std::string text;
    for (const Slice& slice : file.slices) {
        text += path;
        if (file.isUniversal()) {
            text += " (architecture " + slice.architecture() + ")";
        }
        text += ":\n";
        appendDylibs(text, slice.image);
    }
    return text;
}

macho::Result<std::string> undefinedSymbolListing(const std::string& path, const MachOFile& file) {
    std::string text;
    for (const Slice& slice : file.slices) {
        BW_TRY(names, undefinedSymbolNames(slice.image));
        if (file.isUniversal()) {
            text += "\n" + path + " (for architecture " + slice.architecture() + "):\n";
        }
        for (std::string_view name : *names) {
            text += name;
            text += '\n';
        }
    }
    return text;
}

} // namespace bw::tools
