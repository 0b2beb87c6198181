#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace bw {

// The failures of the report history that the user is told about in the store's own words.
class ReportStoreError : public std::exception {
public:
    enum class Kind {
        directoryUnavailable,
        unsupportedSchema,
        corruptStore,
        refusingToOverwriteCorruptStore
    };

    explicit ReportStoreError(Kind kind);

    Kind kind() const { return kind_; }
    QString description() const;
    const char* what() const noexcept override { return what_.constData(); }

private:
    Kind kind_;
    QByteArray what_;
};

} // namespace bw
