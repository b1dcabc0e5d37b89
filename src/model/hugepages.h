#pragma once

#include <cstddef>

namespace loopwren {

// Asks the kernel to back the whole 2 MiB pages inside [data, data + bytes) with transparent huge pages.
// Meant for large buffers that are about to be filled once, such as a macro's text or a read timeline:
// filling them page by page costs one fault per 4 KiB, which is slow under virtualisation, and huge pages
// cut the number of faults by 512. Only a hint: small buffers and kernels without huge pages are left alone.
void adviseHugePages(const void* data, std::size_t bytes);

} // namespace loopwren
