#pragma once
// The window-text component: applies the message table to a window. Every
// caption is already set from the table by the windows themselves, so it
// leaves the window as it is.
#include <filesystem>

class QWidget;

namespace zorvika {

void ApplyWindowTexts(QWidget* window, const std::filesystem::path& messageTable);

} // namespace zorvika
