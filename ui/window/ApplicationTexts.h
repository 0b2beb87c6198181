#pragma once

#include <QString>

namespace bw {
class ApplicationInfo;
}

namespace bw::window {

// The application's name as the application information gives it, "Berthwatch" when it gives none.
QString applicationName(const ApplicationInfo& info);
// "Version 1.0.0 (42)": the version shown to people and the build number.
QString applicationVersionText(const ApplicationInfo& info);

} // namespace bw::window
