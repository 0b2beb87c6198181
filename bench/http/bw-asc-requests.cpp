// Times the requests of one App Store Connect audit of a complete record (ten GETs, each with a
// freshly signed token) against a local HTTPS server that keeps its connections open, as Apple's
// does. Prints the median milliseconds of one audit's requests over the rounds asked for.
//
//   bw-asc-requests [ROUNDS]
//
// The client verifies the server's certificate as always: run it where the system's trust store
// holds the test certificate (asc-requests-bench does this in a private mount namespace).

#include "platform/http/TransportError.h"
#include "services/appstoreconnect/AppStoreConnectService.h"
#include "tests/platform/crypto/TestKeys.h"
#include "tests/support/LocalHttpServer.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// The paths an audit of a complete record requests, in its order.
const char* const auditPaths[] = {
    "v1/apps?filter%5BbundleId%5D=com.example.flightdeck&limit=1",
    "v1/apps/1234567890/appStoreVersions?limit=200",
    "v1/appStoreVersions/ver-ios/appStoreVersionLocalizations?limit=200",
    "v1/appStoreVersionLocalizations/loc-en/appScreenshotSets?include=appScreenshots&limit=200",
    "v1/appStoreVersionLocalizations/loc-de/appScreenshotSets?include=appScreenshots&limit=200",
    "v1/appStoreVersions/ver-ios/appStoreReviewDetail",
    "v1/apps/1234567890/inAppPurchasesV2?limit=200",
    "v1/apps/1234567890/subscriptionGroups?limit=200",
    "v1/subscriptionGroups/grp-1/subscriptions?limit=200",
    "v1/subscriptionGroups/grp-2/subscriptions?limit=200",
};

// An empty page of the size Apple's small pages have.
std::string emptyPage() {
    return R"({"data":[],"links":{"self":"https://api.appstoreconnect.apple.com/v1/apps"},)"
           R"("meta":{"paging":{"total":0,"limit":200}},"padding":")" +
           std::string(1500, 'x') + "\"}";
}

double millisecondsOfOneAudit(const bw::AppStoreConnectService& service,
                              const bw::AppStoreConnectCredentials& credentials) {
    const auto started = std::chrono::steady_clock::now();
    for (const char* path : auditPaths) {
        service.get(QString::fromLatin1(path), credentials);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    bw::test::LocalHttpServer server(bw::test::selfSignedTls(), std::chrono::seconds(5));
    const std::string page = emptyPage();
    server.fallback([&page](const bw::test::RecordedRequest&) {
        return bw::test::ScriptedResponse{200, page};
    });
    const bw::AppStoreConnectCredentials credentials{
        "69a6de7e-3c1a-47e3-e053-5b8c7c11a4d1", "2X9R4HXF34",
        QString::fromLatin1(bw::test::makeTestKey(bw::test::TestKey::p256Pkcs8))};
    const bw::AppStoreConnectService service(bw::KeychainStore{"app.berthwatch.bench"},
                                             server.url(),
                                             [] { return QDateTime::currentDateTimeUtc(); });
    try {
        std::vector<double> times;
        for (int round = 0; round < rounds; ++round) {
            times.push_back(millisecondsOfOneAudit(service, credentials));
        }
        std::sort(times.begin(), times.end());
        std::printf("%.2f\n", times[times.size() / 2]);
    } catch (const bw::http::TransportError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        return 1;
    }
    return 0;
}
