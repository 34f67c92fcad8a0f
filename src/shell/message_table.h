#pragma once
// The message table: every caption and message of the program.
#include "base/program_folder.h"
#include "base/result.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zorvika {

struct TotalsWords;

// Every caption and message comes from section "Message & Text" of
// "tips.dll". Each lookup reads the file afresh; a missing file, section or
// key gives the empty text. Texts are UTF-8 (a table in Windows-1252 is
// converted).
class MessageTable {
public:
    explicit MessageTable(ProgramFolder folder) : folder_(std::move(folder)) {}
    // The text of `key`; the empty text when the table has none.
    std::string get(std::string_view key) const;
    TotalsWords totalsWords() const;
    // Whether the table can be used: a failure, naming the file, when the
    // file that is there cannot (unreadable, too large); success when it
    // can, or when there is none (every text is then empty, as the lookup
    // rule says).
    Outcome usable() const;
    const ProgramFolder& folder() const { return folder_; }

private:
    ProgramFolder folder_;
};

inline constexpr std::string_view kMessageSection = "Message & Text";

} // namespace zorvika
