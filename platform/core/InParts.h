#pragma once

#include <algorithm>
#include <cstddef>
#include <future>
#include <thread>
#include <type_traits>
#include <vector>

namespace bw {

// Runs `work(begin, end)` over the indices 0 ..< count split into consecutive parts, one per core
// at most and each at least `minimumPerPart` long, and returns the parts' results in order. The
// calling thread works on the first part. A part that throws reaches the caller once every part
// has ended, the earliest part's exception first.
template <typename Work>
auto inParts(std::size_t count, std::size_t minimumPerPart, Work work)
    -> std::vector<std::invoke_result_t<Work&, std::size_t, std::size_t>> {
    using Result = std::invoke_result_t<Work&, std::size_t, std::size_t>;
    const std::size_t parts =
        std::clamp<std::size_t>(count / std::max<std::size_t>(minimumPerPart, 1), 1,
                                std::max(1U, std::thread::hardware_concurrency()));
    const auto part = [&](std::size_t index) {
        return work(count * index / parts, count * (index + 1) / parts);
    };
    std::vector<std::future<Result>> others;
    for (std::size_t index = 1; index < parts; ++index) {
        others.push_back(std::async(std::launch::async, part, index));
    }
    std::vector<Result> results;
    results.push_back(part(0));
    for (std::future<Result>& other : others) {
        results.push_back(other.get());
    }
    return results;
}

} // namespace bw
