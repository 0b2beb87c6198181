#include "platform/codesign/PlistAccess.h"

#include <cstdlib>
#include <limits>

namespace bw::codesign::plist {

Owned parse(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return nullptr;
    }
    plist_t root = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::uint32_t>(bytes.size()), &root);
    return Owned(root);
}

bool isDictionary(plist_t node) {
    return node != nullptr && plist_get_node_type(node) == PLIST_DICT;
}

plist_t item(plist_t dictionary, const char* key) {
    return isDictionary(dictionary) ? plist_dict_get_item(dictionary, key) : nullptr;
}

std::optional<std::string> string(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) {
        return std::nullopt;
    }
    char* value = nullptr;
    plist_get_string_val(node, &value);
    std::string result = value != nullptr ? value : "";
    std::free(value);
    return result;
}

std::optional<bool> boolean(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_BOOLEAN) {
        return std::nullopt;
    }
    std::uint8_t value = 0;
    plist_get_bool_val(node, &value);
    return value != 0;
}

std::optional<double> number(plist_t node) {
    if (node == nullptr) {
        return std::nullopt;
    }
    if (plist_get_node_type(node) == PLIST_REAL) {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    if (plist_get_node_type(node) == PLIST_UINT) {
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return static_cast<double>(value);
    }
    return std::nullopt;
}

std::optional<Bytes> data(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_DATA) {
        return std::nullopt;
    }
    char* value = nullptr;
    std::uint64_t length = 0;
    plist_get_data_val(node, &value, &length);
    Bytes result(value, value + length);
    std::free(value);
    return result;
}

std::vector<std::pair<std::string, plist_t>> entries(plist_t dictionary) {
    std::vector<std::pair<std::string, plist_t>> result;
    if (!isDictionary(dictionary)) {
        return result;
    }
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(dictionary, &it);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dictionary, it, &key, &value);
        if (key == nullptr) {
            break;
        }
        result.emplace_back(key, value);
        std::free(key);
    }
    std::free(it);
    return result;
}

} // namespace bw::codesign::plist
