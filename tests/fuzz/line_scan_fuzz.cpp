// The line classification: one pass, cut anywhere, agrees with the line
// count and the header search of the text-file operations.
#include "analysis/line_counter.h"
#include "base/text_codec.h"
#include "fuzz_input.h"
#include "text_file_reference.h"

using namespace zorvika;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const ModuleScan whole = scanModuleText(text);
    fuzz::require(whole.lines == countLinesInText(text));
    fuzz::require(whole.exposedLine == findLineInText(text, "Attribute VB_Exposed"));
    fuzz::require(whole.blankLines + whole.commentLines <= whole.lines);
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    ModuleScanner pieces;
    pieces.feed(text.substr(0, cut));
    pieces.feed(text.substr(cut));
    const ModuleScan split = pieces.finish();
    fuzz::require(split.lines == whole.lines && split.exposedLine == whole.exposedLine
                  && split.blankLines == whole.blankLines && split.commentLines == whole.commentLines);
    fuzz::require(isValidUtf8(toDisplayText(text)));
    return 0;
}
