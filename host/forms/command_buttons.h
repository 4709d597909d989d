#pragma once
// SetCommandButtons: the form routine that starts or enables every `Command`
// button of a form and passes over its other controls.

#include <vector>

// What the routine asks of a `Command` button.
class CommandButtonPort {
  public:
    virtual ~CommandButtonPort() = default;
    virtual void Initialize() = 0;  // starts the button's hover tracking
    virtual void SetEnabled(bool enabled) = 0;
};

// One control of a form, as the routine sees it.
class FormControl {
  public:
    virtual ~FormControl() = default;
    // The control as a `Command` button, or null for any other kind of control.
    virtual CommandButtonPort* AsCommand() = 0;
};

// With initialize set every button gets Initialize; otherwise every button's
// Enabled becomes enabled.
void SetCommandButtons(const std::vector<FormControl*>& controls, bool initialize, bool enabled);
