#include "gui/settings_dialogs.h"

namespace tellurim {

DialogOpener drawing_options_dialog(Str) { return nullptr; }

}  // namespace tellurim
