#pragma once
// Reading one loose object of a git repository: a zlib stream of
// "<type> <size>\0" and then that many bytes. Every read ends in time
// bounded by the file's size: an object cut short, one whose header does
// not parse, or one that holds more or fewer bytes than its header says is
// refused with the reason, and no more memory is taken than the header
// says and the file can hold.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace zorvika {

enum class LooseStatus { Ok, Missing, Damaged };

struct LooseObject {
    LooseStatus status = LooseStatus::Missing;
    std::string type;       // "commit", "tree", "blob" or "tag"
    std::uint64_t size = 0; // from the header
    char* data = nullptr;   // from `allocate` (size + 1 bytes, the last 0); kept only when Ok
    std::string reason;     // why not Ok
};

// The header alone without `allocate`; with it, also the object's bytes,
// in a buffer that `allocate` gives and `release` takes back on a failure.
LooseObject readLooseObject(const std::filesystem::path& file,
                            const std::function<char*(std::size_t)>& allocate = {},
                            const std::function<void(char*)>& release = {});

} // namespace zorvika
