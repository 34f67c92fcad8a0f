// `ReadIniValue` on any text, section and key: the input is the section, a
// NUL, the key, a NUL and the file's text.
#include "components/ini_reader.h"
#include "fuzz_input.h"

using namespace zorvika;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text = fuzz::asText(data, size);
    std::string_view section = "Message & Text";
    std::string_view key = "TITLE";
    if (const auto a = text.find('\0'); a != std::string_view::npos) {
        section = text.substr(0, a);
        text.remove_prefix(a + 1);
        if (const auto b = text.find('\0'); b != std::string_view::npos) {
            key = text.substr(0, b);
            text.remove_prefix(b + 1);
        }
    }
    const std::string value = readIniValueFromText(text, section, key);
    fuzz::require(value.size() <= text.size());
    fuzz::require(value.find_first_of("\r\n") == std::string::npos);
    return 0;
}
