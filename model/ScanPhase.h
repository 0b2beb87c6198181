#pragma once

#include <QString>
#include <variant>

namespace bw {

// The phase of the scan of the staged build.
struct ScanPhase {
    struct Idle {
        bool operator==(const Idle&) const = default;
    };
    struct Preparing {
        bool operator==(const Preparing&) const = default;
    };
    struct Scanning {
        double progress; // a NaN progress equals nothing, itself included
        QString message;
        bool operator==(const Scanning&) const = default;
    };
    struct Finished {
        bool operator==(const Finished&) const = default;
    };
    struct Failed {
        QString message;
        bool operator==(const Failed&) const = default;
    };

    std::variant<Idle, Preparing, Scanning, Finished, Failed> state;

    static ScanPhase idle() { return {Idle{}}; }
    static ScanPhase preparing() { return {Preparing{}}; }
    static ScanPhase scanning(double progress, QString message) {
        return {Scanning{progress, std::move(message)}};
    }
    static ScanPhase finished() { return {Finished{}}; }
    static ScanPhase failed(QString message) { return {Failed{std::move(message)}}; }

    // While a scan is preparing or scanning, no second one starts.
    bool isBusy() const {
        return std::holds_alternative<Preparing>(state) || std::holds_alternative<Scanning>(state);
    }

    bool operator==(const ScanPhase&) const = default;
};

} // namespace bw
