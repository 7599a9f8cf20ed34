#include "gui/settings_dialogs.h"

namespace tellurim {

DialogOpener computing_options_dialog(Str) { return nullptr; }

}  // namespace tellurim
