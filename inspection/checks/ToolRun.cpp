#include "inspection/checks/ToolRun.h"

#include "platform/core/Cancelled.h"

#include <system_error>

namespace bw {

QString toolPath(const QString& toolDirectory, const char* name) {
    return toolDirectory + u'/' + QLatin1String(name);
}

std::optional<CommandResult> runForCheck(const QString& executable, const QStringList& arguments,
                                         std::stop_token stop) {
    try {
        return command_runner::run(executable, arguments, command_runner::defaultTimeout,
                                   std::move(stop));
    } catch (const CommandRunnerError&) {
    } catch (const Cancelled&) {
    } catch (const std::system_error&) {
    }
    return std::nullopt;
}

} // namespace bw
