#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/controls/property_store.h"

// A form's stored design data: one property store for each control of the form.
//
// Text form (UTF-8, LF or CRLF line ends, an optional byte order mark):
//
//   ; comment lines start with ';' or '#'
//   [Cmd_Set]
//   Caption = Set
//   Font = Arial,9.75,normal,0
//
// One "[name]" section for each control, then its "key = value" lines. Blanks around names,
// keys and values are dropped. A value in double quotes keeps its blanks and reads the
// escapes \" \\ \n \r \t; any other value is taken literally. Control names and keys are
// matched without regard to ASCII case and may not repeat.
struct ControlDesign {
    std::string name;
    PropertyStore properties;
};

struct FormDesign {
    std::vector<ControlDesign> controls;
};

struct DesignError {
    int line = 0;  // 1-based line of the text where reading stopped
    std::string message;
};

const ControlDesign* FindControl(const FormDesign& design, std::string_view name);
ControlDesign* FindControl(FormDesign& design, std::string_view name);
// The named control's entry, appended empty when the form has none yet. Like the pointers
// that FindControl gives, it stays valid only until the next control is appended.
ControlDesign& ControlEntry(FormDesign& design, std::string_view name);

std::optional<FormDesign> ParseFormDesign(std::string_view text, DesignError* error = nullptr);
// Fails (nullopt) only for a control name or key that the text form cannot hold.
std::optional<std::string> FormatFormDesign(const FormDesign& design);
