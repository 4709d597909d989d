#include "host/forms/command_buttons.h"

void SetCommandButtons(const std::vector<FormControl*>& controls, bool initialize, bool enabled) {
    for (FormControl* control : controls) {
        CommandButtonPort* button = control != nullptr ? control->AsCommand() : nullptr;
        if (button == nullptr) continue;
        if (initialize) {
            button->Initialize();
        } else {
            button->SetEnabled(enabled);
        }
    }
}
