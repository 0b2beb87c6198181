#include "platform/codesign/CodeVerifier.h"

#include "platform/codesign/BundleLayout.h"
#include "platform/codesign/FrameworkRoot.h"
#include "platform/codesign/ResourceSealVerifier.h"
#include "platform/codesign/SignatureCheck.h"
#include "platform/macho/MachOFile.h"
#include "platform/macho/MappedFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace bw::codesign {

namespace stdfs = std::filesystem;

namespace {

std::optional<Bytes> readFile(const stdfs::path& path) {
    std::error_code ec;
    if (!stdfs::is_regular_file(stdfs::symlink_status(path, ec))) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void appendOnce(std::vector<std::string>& notes, const std::vector<std::string>& more) {
    for (const std::string& note : more) {
        if (std::find(notes.begin(), notes.end(), note) == notes.end()) {
            notes.push_back(note);
        }
    }
}

struct CodeCheck {
    Problems problems;
    std::vector<std::string> notes;
    std::vector<Bytes> cdhashes; // of every slice's every code directory
    bool signedAtAll = false;
};

// Why a file is no code we can check: unreadable, no Mach-O at all (unsigned, as far as a
// signature goes), or a Mach-O file broken in its structure.
std::string loadReason(const macho::MachOError& error, bool mainExecutable) {
    switch (error.kind) {
    case macho::MachOError::Kind::unreadable:
        return error.detail;
    case macho::MachOError::Kind::notObjectFile:
        return unsignedReason;
    default:
        return mainExecutable ? "main executable failed strict validation" : formatReason;
    }
}

CodeCheck checkMachO(const stdfs::path& path, const std::optional<BundleItems>& bundle) {
    CodeCheck check;
    auto mapped = macho::MappedFile::open(path.string());
    auto file = mapped ? macho::parseMachOFile(mapped->bytes())
                       : macho::Result<macho::MachOFile>(mapped.error());
    if (!file) {
        check.problems.push_back({path.string(), loadReason(file.error(), bundle.has_value())});
        return check;
    }
    for (const auto& slice : file->slices) {
        // Apple's tool names the architecture of a failing slice even in a thin file.
        SliceCheck sliceCheck = checkSlice(slice, path.string(), slice.architecture(), bundle);
        check.signedAtAll = check.signedAtAll || slice.image.codeSignature.has_value();
        // Each code directory reports the same changed item: say it once.
        for (auto& problem : sliceCheck.problems) {
            if (std::find(check.problems.begin(), check.problems.end(), problem) ==
                check.problems.end()) {
                check.problems.push_back(std::move(problem));
            }
        }
        appendOnce(check.notes, sliceCheck.notes);
        check.cdhashes.insert(check.cdhashes.end(), sliceCheck.cdhashes.begin(),
                              sliceCheck.cdhashes.end());
    }
    return check;
}

class Verifier {
public:
    explicit Verifier(const VerifyOptions& options) : options_(options) {}

    Verification verify(const stdfs::path& path) {
        CodeCheck check = checkCode(path);
        result_.problems = std::move(check.problems);
        appendOnce(result_.notes, check.notes);
        if (result_.valid()) {
            // Apple's tool checks the designated requirement here, and the requirements the
            // seal records for nested code; we cannot.
            appendOnce(result_.notes, {"the designated requirement was not evaluated"});
        }
        return std::move(result_);
    }

private:
    CodeCheck checkCode(const stdfs::path& path) {
        std::error_code ec;
        stdfs::file_status status = stdfs::symlink_status(path, ec);
        if (!stdfs::exists(status)) {
            return {{{path.string(), "No such file or directory"}}, {}, {}, false};
        }
        if (stdfs::is_directory(status)) {
            return checkBundle(path);
        }
        return checkMachO(path, std::nullopt);
    }

    CodeCheck checkBundle(const stdfs::path& root) {
        BundleLayout layout = bundleLayout(root);
        std::error_code ec;
        if (!layout.executable || !stdfs::is_regular_file(*layout.executable, ec)) {
            return {{{root.string(), "bundle format unrecognized, invalid, or unsuitable"}},
                    {},
                    {},
                    false};
        }
        BundleItems items{readFile(layout.infoPlist), readFile(layout.codeResources)};
        CodeCheck check = checkMachO(*layout.executable, items);
        // As with Apple's tool, resources are looked at only once the signature holds.
        if (!check.problems.empty()) {
            return check;
        }
        if (options_.strict && layout.versioned && !frameworkRootIsStandard(root)) {
            check.problems.push_back({root.string(), unsealedFrameworkRootReason});
            return check;
        }
        if (!items.codeResources) {
            // What Apple's tool says of a bundle with a linker signature only, too.
            check.problems.push_back(
                {root.string(),
                 "code has no resources but signature indicates they must be present"});
            return check;
        }
        checkResources(layout, *items.codeResources, check);
        return check;
    }

    void checkResources(const BundleLayout& layout, const Bytes& bytes, CodeCheck& check) {
        const SealResult<ResourceSeal> seal = parseResourceSeal(bytes);
        if (!seal) {
            const bool obsolete = seal.error().kind == SealError::Kind::obsoleteEnvelope;
            check.problems.push_back(
                {layout.codeResources.string(),
                 obsolete ? obsoleteEnvelope : "the sealed resource directory is invalid"});
            return;
        }
        ResourceSealCheck sealCheck =
            verifyResourceSeal(layout, *seal, {options_.strict, options_.hashThreads});
        check.problems.insert(check.problems.end(), sealCheck.problems.begin(),
                              sealCheck.problems.end());
        for (const NestedCode& nested : sealCheck.nested) {
            if (!nested.sealedAsFiles || options_.deep) {
                checkNested(nested, check);
            }
        }
    }

    void checkNested(const NestedCode& nested, CodeCheck& parent) {
        if (options_.deep) {
            result_.nested.push_back({shownCodePath(nested.path), false});
        }
        CodeCheck inner = checkCode(nested.path);
        const std::string path = nested.path.string();
        bool sealedByCdhash = nested.sealed != nullptr && !nested.sealed->cdhash.empty();
        if (!inner.signedAtAll) {
            if (sealedByCdhash || options_.strict || options_.deep) {
                parent.problems.push_back({path, unsignedReason, ResourceChange::none, "", path});
            }
            return;
        }
        if (sealedByCdhash && std::find(inner.cdhashes.begin(), inner.cdhashes.end(),
                                        nested.sealed->cdhash) == inner.cdhashes.end()) {
            parent.problems.push_back(
                {path, "nested code is modified or invalid", ResourceChange::modified});
        }
        if (options_.deep) {
            for (Problem problem : inner.problems) {
                // The innermost nested code a problem lies in is the one to name.
                if (problem.subcomponent.empty()) {
                    problem.subcomponent = path;
                }
                parent.problems.push_back(std::move(problem));
            }
            appendOnce(parent.notes, inner.notes);
            if (inner.problems.empty()) {
                result_.nested.push_back({shownCodePath(nested.path), true});
            }
        }
    }

    const VerifyOptions& options_;
    Verification result_;
};

} // namespace

Verification verifyCode(const stdfs::path& path, const VerifyOptions& options) {
    return Verifier(options).verify(path);
}

} // namespace bw::codesign
