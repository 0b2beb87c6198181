#include "app/CommandLine.h"

#include "model/MarketingScene.h"

namespace bw {

namespace {

QString sceneNames() {
    QStringList names;
    for (const QStringView name : RawValueTable<MarketingScene>::rawValues) {
        names << name.toString();
    }
    return names.join(QStringLiteral(", "));
}

} // namespace

std::optional<QString> commandLineAnswer(const QStringList& arguments, const QString& version) {
    const QStringList options = arguments.mid(1);
    if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h"))) {
        return QStringLiteral(
                   "Usage: berthwatch [OPTION]\n"
                   "Shows, before a build goes to App Review, what in it could block or delay "
                   "the review.\n"
                   "\n"
                   "  --marketing-scene=NAME  play the demonstration scene NAME (%1)\n"
                   "  --marketing-scan        play the demonstration scan\n"
                   "  -h, --help              print this help and exit\n"
                   "  --version               print the version and exit\n")
            .arg(sceneNames());
    }
    if (options.contains(QStringLiteral("--version"))) {
        return QStringLiteral("Berthwatch %1\n").arg(version);
    }
    return std::nullopt;
}

} // namespace bw
