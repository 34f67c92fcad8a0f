#include "analysis/keywords.h"

namespace zorvika {

bool isReservedWord(std::string_view w)
{
    static constexpr std::string_view kWords[] = {
        "and", "as", "attribute", "beep", "byref", "byval", "call", "case", "close", "const", "declare", "dim",
        "do", "each", "else", "elseif", "end", "enum", "erase", "error", "event", "exit", "false", "for",
        "friend", "function", "get", "global", "gosub", "goto", "if", "implements", "in", "input", "is", "let",
        "like", "load", "lock", "loop", "me", "mod", "new", "next", "not", "nothing", "on", "open", "option",
        "or", "print", "private", "property", "public", "put", "randomize", "redim", "rem", "reset", "resume",
        "return", "seek", "select", "set", "static", "step", "stop", "sub", "then", "to", "true", "type",
        "unload", "unlock", "until", "wend", "while", "with", "write", "xor"};
    for (std::string_view k : kWords)
        if (equalsNoCase(w, k))
            return true;
    return false;
}

} // namespace zorvika
