// Saving the lattice picture as an uncompressed BMP file.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "picture/raster_surface.h"

namespace vellora::picture {

// Writes the surface to `fileName` as a BMP file: a 14-byte file header, a 40-byte info header
// and the pixel rows bottom row first, at the surface's own depth (32 or 24 bits, no colour
// table). The file is written under a temporary name in the same folder and renamed over the
// target only once every byte is written, so a failed save leaves an existing file as it was and
// no partial file behind. A replaced file keeps its permission bits; a new one gets 0666 less
// the umask. A target that is not a regular file (a device, a pipe) is written in place, and so
// is an existing file that may be written but not replaced, because no file can be created or
// renamed in its folder: it is emptied and written, and a failure leaves what was written.
//
// Throws EFCreateError ("Cannot create file "<full path>". <reason>") when the file cannot be
// created, and EWriteError ("Stream write error") when a block cannot be written whole.
void SaveBitmapFile(const RasterSurface& surface, const std::string& fileName);

// The low-level write that SaveBitmapFile uses, with the contract of POSIX write() on a file
// opened in binary mode: returns the number of bytes written, or -1 with errno set. A test replaces
// it to make a write fail.
using WriteFunction = std::function<long(int fd, const void* data, std::size_t size)>;
void SaveBitmapFile(const RasterSurface& surface, const std::string& fileName,
                    const WriteFunction& write);

// The two steps of a save that may fail for want of rights: creating the new file beside the
// target, and putting it in the target's place. Only a refusal of rights, with the target
// present, makes the save write the existing file in place; any other failure (a full disk, a
// file held open by another program) fails the save and keeps the old file whole. The error
// code is the system's own (errno on POSIX systems, GetLastError() on Windows).
enum class SaveStep { kCreate, kReplace };
bool FallsBackToWritingInPlace(SaveStep step, int errorCode);

// The name made absolute against the current directory, with "." and ".." parts and repeated
// separators removed; symbolic links are not followed.
std::string ExpandFileName(const std::string& fileName);

// The system's text for an error code as above, in the user's language, without trailing blanks,
// control characters and full stops.
std::string SystemErrorText(int errorCode);

}  // namespace vellora::picture
