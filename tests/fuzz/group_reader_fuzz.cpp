// The group reader and the progress-text arithmetic.
#include "fuzz_input.h"
#include "shell/selection.h"

using namespace zorvika;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const auto entries = readGroupEntries(text);
    for (const std::string& e : entries)
        fuzz::require(e.find_first_of("\r\n") == std::string::npos);
    looksLikeGroupText(text);
    if (auto prev = previousStep(text))
        fuzz::require(prev->progressText.starts_with("  "));
    if (auto next = nextStep(text, entries.size()))
        fuzz::require(next->index < entries.size());
    return 0;
}
