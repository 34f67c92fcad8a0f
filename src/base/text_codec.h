#pragma once
// Texts from outside come as bytes. For display and for the files the program
// writes, a text is read as UTF-8 when it is valid UTF-8 and as Windows-1252
// otherwise; the result is always UTF-8.
#include <string>
#include <string_view>

namespace zorvika {

bool isValidUtf8(std::string_view bytes);
std::string windows1252ToUtf8(std::string_view bytes);
std::string toDisplayText(std::string_view bytes);

} // namespace zorvika
