#include "gui/settings_dialogs.h"

namespace tellurim {

DialogOpener options_dialog(Str) { return nullptr; }

}  // namespace tellurim
