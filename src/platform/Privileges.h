#pragma once

namespace qinglan::platform {

// True when the program runs with the system's full administrative rights (root here). The embedded
// browser's sandbox refuses to start then, so the window must switch it off.
bool runsAsSuperuser();

}  // namespace qinglan::platform
