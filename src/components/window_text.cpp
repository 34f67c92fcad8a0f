#include "components/window_text.h"

namespace zorvika {

void ApplyWindowTexts(QWidget*, const std::filesystem::path&) {}

} // namespace zorvika
