#pragma once

namespace zot {

// Every logo allocates and frees pictures of the same sizes: keep that memory
// instead of handing it back to the system and faulting it in again for
// every line of a batch. Call once, at the start of main.
void keepPictureMemory();

} // namespace zot
