// Memory for texts of hundreds of megabytes. Filling fresh memory costs a page
// fault per page; on virtual machines that back guest memory lazily that fault,
// not the copy, is most of the time spent reading or rewriting a large file.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Tells the system that [data, data + size) is about to be written in one sweep,
// so that it backs it with large pages where it has them (one fault per 2 MB
// instead of per 4 KB). Only whole large pages inside the range are affected;
// a range smaller than a few of them is left alone. Failing advice changes nothing.
void AdviseLargeBuffer(void *data, std::size_t size);

// Reserves room for at least `capacity` bytes in `text` (as reserve does) and
// advises the reserved memory as above.
void ReserveLargeText(std::string &text, std::size_t capacity);

} // namespace platform
