#pragma once

#include <cstddef>

namespace qinglan::platform {

// How many folders the walks of the process may hold open ahead of themselves, all together, as
// the open-file limit stands now. The rest of the limit stays for the program's other files and
// for the folder each walk lists in its turn; 0 when the limit leaves nothing to spare.
size_t folderDescriptorBudget();

}  // namespace qinglan::platform
