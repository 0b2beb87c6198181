#pragma once

#include <QString>
#include <stop_token>

namespace bw::work_folders {

// The prefixes of the private folders a scan, a preview and a tool run work in.
inline constexpr QStringView scan = u"Berthwatch-";
inline constexpr QStringView preview = u"Berthwatch-Preview-";
inline constexpr QStringView command = u"BerthwatchCommand-";

// Removes from `base` (the temporary folder) the work folders of runs that were killed; those of
// runs still alive are kept. Returns how many were removed. Can take a while after a large build;
// once `stop` is requested it ends between two files, leaving the rest for a later start.
int removeAbandoned(const QString& base, std::stop_token stop = {});

} // namespace bw::work_folders
