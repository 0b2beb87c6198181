#pragma once

#include <QString>

namespace bw {
class ApplicationInfo;
}

namespace bw::window {

// The application's display name as the application information gives it (an empty one too),
// "Berthwatch" when it gives none.
QString appDisplayName(const ApplicationInfo& info);
// "Version 1.0.0 (42)": the version shown to people and the build number.
QString applicationVersionText(const ApplicationInfo& info);

} // namespace bw::window
