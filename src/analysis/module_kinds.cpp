#include "analysis/module_kinds.h"

#include "base/line_reader.h"

namespace zorvika {

const ModuleKind* moduleKindOf(std::string_view modulePath)
{
    for (const ModuleKind& kind : kModuleKinds)
        if (modulePath.size() >= kind.extension.size()
            && startsWithNoCase(modulePath.substr(modulePath.size() - kind.extension.size()), kind.extension))
            return &kind;
    return nullptr;
}

std::string_view moduleTypeOf(std::string_view modulePath)
{
    const ModuleKind* kind = moduleKindOf(modulePath);
    return kind ? kind->typeText : kTypeOther;
}

bool isStandardModulePath(std::string_view modulePath)
{
    const ModuleKind* kind = moduleKindOf(modulePath);
    return kind && kind->header == HeaderRule::OneLine;
}

bool isModuleTypeText(std::string_view text)
{
    if (text == kTypeOther || text == kTypeInvalid)
        return true;
    for (const ModuleKind& kind : kModuleKinds)
        if (kind.typeText == text)
            return true;
    return false;
}

} // namespace zorvika
