#pragma once
// A module file read in pieces of bounded size, so that a reader that takes
// it piece by piece needs no more memory for a long file than for a short
// one: from the file system, a chunk at a time through the caller's buffer,
// or from a text that is already in memory (a blob of a revision), whole.
#include "base/file_io.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace zorvika {

// The size of one piece of a module read from the file system.
inline constexpr std::size_t kModulePiece = 256 * 1024;

// A buffer of one piece, page-aligned (the kernel copies into such a buffer
// several times faster than into one that starts past a page boundary).
class PieceBuffer {
public:
    PieceBuffer();
    ~PieceBuffer();
    PieceBuffer(const PieceBuffer&) = delete;
    PieceBuffer& operator=(const PieceBuffer&) = delete;
    char* data() const { return data_; }
    static constexpr std::size_t size() { return kModulePiece; }

private:
    char* data_;
};

class ModuleStream {
public:
    virtual ~ModuleStream() = default;
    // The next piece of the file in `piece` (empty at its end), read into
    // `buffer` or lying elsewhere; false when the file cannot be read on.
    virtual bool next(PieceBuffer& buffer, std::string_view& piece) = 0;
};

// Reads an opened regular file no further than the size it had when it was
// opened, so a growing file cannot keep a reader going.
std::unique_ptr<ModuleStream> fileStream(FileHandle fd, std::uint64_t size);
// The regular file at `path`; nothing when it is none or cannot be opened.
std::unique_ptr<ModuleStream> openFileStream(const std::filesystem::path& path);
// A text held by the stream, given as one piece.
std::unique_ptr<ModuleStream> textStream(std::string text);

} // namespace zorvika
