#pragma once

#include <QString>

namespace bw::http {

// The short standard reason phrase of an HTTP status code ("Not Found"); a code without one of
// its own gets the name of its class ("Server Error"), and a code outside 100 to 599 gets
// "Unknown Status".
QString statusText(int status);

} // namespace bw::http
