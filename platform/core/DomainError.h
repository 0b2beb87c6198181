#pragma once

#include <exception>
#include <string>
#include <type_traits>
#include <utility>

namespace bw {

// What the error of every failure domain has: the domain's own kind and the text shown to the
// person using the program, fixed when the error is made. `Text` is QString in the domains that
// use Qt and std::string in those that do not; what() gives the same text in UTF-8.
template <typename KindType, typename Text> class DomainError : public std::exception {
public:
    using Kind = KindType;

    Kind kind() const { return kind_; }
    const Text& description() const { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

protected:
    DomainError(Kind kind, Text description)
        : kind_(kind), description_(std::move(description)), what_(utf8(description_)) {}

private:
    static std::string utf8(const Text& text) {
        if constexpr (std::is_same_v<Text, std::string>) {
            return text;
        } else {
            return text.toStdString();
        }
    }

    Kind kind_;
    Text description_;
    std::string what_;
};

} // namespace bw
