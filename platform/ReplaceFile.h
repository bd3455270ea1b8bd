#pragma once

#include <string>
#include <string_view>

namespace platform {

// Makes bytes the whole content of the file at path, so that the file, and
// any reader of it, holds either what it held before or all of bytes, never
// a part: a temporary file beside it is written, flushed to disk and renamed
// over it. On Linux a file that was there keeps its mode; on Windows the new
// file takes the access its folder hands down. On failure (a full disk, a
// write, flush or close refused) the file stays as it was and no temporary
// is left; false is returned with the last error set. Only a failure to
// flush the folder after the rename returns false with the new content
// already in place.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

} // namespace platform
