#include "platform/codesign/CodeVerifier.h"

#include "platform/codesign/BundleLayout.h"
#include "platform/codesign/ResourceSealVerifier.h"
#include "platform/codesign/SignatureCheck.h"
#include "platform/macho/MachOFile.h"
#include "platform/macho/MappedFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace bw::codesign {

namespace fs = std::filesystem;

namespace {

std::optional<Bytes> readFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(path, ec))) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct CodeCheck {
    Problems problems;
    std::vector<std::string> notes;
    std::vector<Bytes> cdhashes; // of every slice's every code directory
    bool signedAtAll = false;
};

CodeCheck checkMachO(const fs::path& path, const std::optional<BundleItems>& bundle) {
    CodeCheck check;
    auto mapped = macho::MappedFile::open(path.string());
    if (!mapped) {
        check.problems.push_back({path.string(), mapped.error().description()});
        return check;
    }
    auto file = macho::parseMachOFile(mapped->bytes());
    if (!file) {
        check.problems.push_back({path.string(), file.error().description()});
        return check;
    }
    for (const auto& slice : file->slices) {
        std::string label =
            file->isUniversal() ? "architecture " + slice.architecture() + ": " : "";
        SliceCheck slice_check = checkSlice(slice, path.string(), label, bundle);
        check.signedAtAll = check.signedAtAll || slice.image.codeSignature.has_value();
        // Each code directory reports the same unbound or changed item: say it once.
        for (auto& problem : slice_check.problems) {
            if (std::find(check.problems.begin(), check.problems.end(), problem) ==
                check.problems.end()) {
                check.problems.push_back(std::move(problem));
            }
        }
        check.notes.insert(check.notes.end(), slice_check.notes.begin(), slice_check.notes.end());
        check.cdhashes.insert(check.cdhashes.end(), slice_check.cdhashes.begin(),
                              slice_check.cdhashes.end());
    }
    return check;
}

class Verifier {
public:
    explicit Verifier(const VerifyOptions& options) : options_(options) {}

    Verification verify(const fs::path& path) {
        CodeCheck check = checkCode(path);
        result_.problems.insert(result_.problems.end(), check.problems.begin(),
                                check.problems.end());
        result_.notes.insert(result_.notes.end(), check.notes.begin(), check.notes.end());
        return std::move(result_);
    }

private:
    CodeCheck checkCode(const fs::path& path) {
        std::error_code ec;
        fs::file_status status = fs::symlink_status(path, ec);
        if (!fs::exists(status)) {
            return {{{path.string(), "No such file or directory"}}, {}, {}, false};
        }
        if (fs::is_directory(status)) {
            return checkBundle(path);
        }
        return checkMachO(path, std::nullopt);
    }

    CodeCheck checkBundle(const fs::path& root) {
        BundleLayout layout = bundleLayout(root);
        std::error_code ec;
        if (!layout.executable || !fs::is_regular_file(*layout.executable, ec)) {
            return {{{root.string(), "bundle format unrecognized, invalid, or unsuitable (no main "
                                     "executable)"}},
                    {},
                    {},
                    false};
        }
        BundleItems items{readFile(layout.infoPlist), readFile(layout.codeResources)};
        CodeCheck check = checkMachO(*layout.executable, items);
        if (!check.signedAtAll) {
            return check;
        }
        if (items.codeResources) {
            checkResources(layout, *items.codeResources, check);
        }
        return check;
    }

    void checkResources(const BundleLayout& layout, const Bytes& bytes, CodeCheck& check) {
        ResourceSeal seal;
        try {
            seal = parseResourceSeal(bytes);
        } catch (const ResourceSealError& error) {
            check.problems.push_back({layout.codeResources.string(), error.what()});
            return;
        }
        ResourceSealCheck sealCheck =
            verifyResourceSeal(layout, seal, {options_.strict, options_.hashThreads});
        check.problems.insert(check.problems.end(), sealCheck.problems.begin(),
                              sealCheck.problems.end());
        for (const NestedCode& nested : sealCheck.nested) {
            checkNested(nested, check);
        }
    }

    void checkNested(const NestedCode& nested, CodeCheck& parent) {
        CodeCheck inner = checkCode(nested.path);
        bool sealedByCdhash = nested.sealed != nullptr && !nested.sealed->cdhash.empty();
        if (!inner.signedAtAll) {
            if (sealedByCdhash || options_.strict || options_.deep) {
                parent.problems.push_back(
                    {nested.path.string(), "nested code is not signed at all"});
            }
            return;
        }
        if (sealedByCdhash && std::find(inner.cdhashes.begin(), inner.cdhashes.end(),
                                        nested.sealed->cdhash) == inner.cdhashes.end()) {
            parent.problems.push_back({nested.path.string(),
                                       "nested code is modified or invalid (its cdhash does not "
                                       "match the seal)"});
        }
        if (nested.sealed != nullptr && nested.sealed->requirement) {
            parent.notes.push_back(nested.path.string() +
                                   ": sealed designated requirement was not evaluated");
        }
        if (options_.deep) {
            parent.problems.insert(parent.problems.end(), inner.problems.begin(),
                                   inner.problems.end());
            parent.notes.insert(parent.notes.end(), inner.notes.begin(), inner.notes.end());
            if (inner.problems.empty()) {
                result_.validatedNested.push_back(nested.path);
            }
        }
    }

    const VerifyOptions& options_;
    Verification result_;
};

} // namespace

Verification verifyCode(const fs::path& path, const VerifyOptions& options) {
    return Verifier(options).verify(path);
}

} // namespace bw::codesign
