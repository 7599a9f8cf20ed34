#include "gui/settings_dialogs.h"

namespace tellurim {

DialogOpener configuration_dialog(Str) { return nullptr; }

}  // namespace tellurim
