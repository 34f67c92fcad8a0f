#include "components/qt/window_text.h"

namespace zorvika {

void ApplyWindowTexts(QWidget*, const std::filesystem::path&) {}

} // namespace zorvika
