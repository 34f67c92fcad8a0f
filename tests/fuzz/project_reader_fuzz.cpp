// The module-list reader and the property lookup of a project file.
#include "analysis/project_reader.h"
#include "base/text_codec.h"
#include "fuzz_input.h"
#include "shell/selection.h"

using namespace zorvika;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    for (const std::string& path : readModuleEntries(text)) {
        fuzz::require(path.empty() || (path.front() != ' ' && path.back() != ' '));
        fuzz::require(path.find_first_of("\r\n") == std::string::npos);
        moduleTypeOf(path);
    }
    const ProjectInfo info = projectInfoFromText(workingCopyText(text));
    for (const std::string& value : info.values)
        fuzz::require(isValidUtf8(value));
    looksLikeProjectText(text);
    return 0;
}
