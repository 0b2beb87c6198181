#pragma once

#include <QString>
#include <exception>

namespace bw {

// The failures of the App Store Connect token and client.
class AppStoreConnectError : public std::exception {
public:
    enum class Kind { api, notConnected, invalidCredentials, invalidResponse };

    explicit AppStoreConnectError(Kind kind);
    // An error the API reported; `message` is shown as it is.
    static AppStoreConnectError api(const QString& message);

    Kind kind() const { return kind_; }
    QString description() const;
    const char* what() const noexcept override { return what_.constData(); }

private:
    AppStoreConnectError(Kind kind, QString message);

    Kind kind_;
    QString message_;
    QByteArray what_;
};

} // namespace bw
