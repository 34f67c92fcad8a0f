#pragma once
// The kinds of module a project lists, as data: the key of the project
// file's entry, the file extension, the type text of a row, and where the
// module's header ends. The project reader, the line counter, the procedure
// metrics and the snapshot reader all take their rules from this table; a
// new kind is one more row.
#include <array>
#include <string_view>

namespace zorvika {

enum class HeaderRule {
    OneLine,           // a standard module: the "Attribute VB_Name" line
    ToExposedAttribute // down to the "Attribute VB_Exposed" line (0 when none)
};

struct ModuleKind {
    std::string_view entryKey;  // lower case, at a line's very start
    bool nameThenPath;          // "Name; path": the path stands between the first and second ";"
    std::string_view extension; // lower case, with its dot
    std::string_view typeText;
    HeaderRule header;
};

inline constexpr std::array<ModuleKind, 7> kModuleKinds = {{
    {"form=", false, ".frm", "Form", HeaderRule::ToExposedAttribute},
    {"module=", true, ".bas", "Module", HeaderRule::OneLine},
    {"class=", true, ".cls", "ClassModule", HeaderRule::ToExposedAttribute},
    {"usercontrol=", false, ".ctl", "UserControl", HeaderRule::ToExposedAttribute},
    {"propertypage=", false, ".pag", "PropertyPage", HeaderRule::ToExposedAttribute},
    {"designer=", false, ".dsr", "Designer", HeaderRule::ToExposedAttribute},
    {"userdocument=", false, ".dob", "UserDocument", HeaderRule::ToExposedAttribute},
}};

// The type of a file whose extension no kind has, and of a row whose file
// is missing.
inline constexpr std::string_view kTypeOther = "OtherModule";
inline constexpr std::string_view kTypeInvalid = "Invalid";

// The kind whose extension the path ends with (any letter case); nothing
// for another extension.
const ModuleKind* moduleKindOf(std::string_view modulePath);

// The kind's type text, or "OtherModule".
std::string_view moduleTypeOf(std::string_view modulePath);

// True when the module's header is one line (a standard module, ".bas").
bool isStandardModulePath(std::string_view modulePath);

// True for every text a row's type cell may hold: the kinds' type texts,
// "OtherModule" and "Invalid".
bool isModuleTypeText(std::string_view text);

} // namespace zorvika
