#pragma once

namespace qinglan::platform {

// True when the standard error stream goes to a terminal, where progress lines may be redrawn.
bool errorStreamIsTerminal();

}  // namespace qinglan::platform
