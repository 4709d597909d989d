#pragma once
// The settings dialog's stored design data: what its Command buttons read when
// they are loaded, kept as the text form of host/controls/form_design.h.

#include <optional>

#include "host/controls/font_desc.h"
#include "host/controls/form_design.h"

// The font the dialog offers its controls.
FontDesc DialogAmbientFont();

// The parsed design data, or std::nullopt when the stored text does not read.
std::optional<FormDesign> SettingsDialogDesign();
