#include "host/controls/form_design.h"

#include "host/controls/text_util.h"

namespace {

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

bool IsWritableName(std::string_view name) {
    return !name.empty() && TrimBlanks(name) == name && !HasControlCharacter(name);
}

bool IsWritableKey(std::string_view key) {
    return IsWritableName(key) && key.find('=') == std::string_view::npos && key[0] != '[' &&
           key[0] != ';' && key[0] != '#';
}

bool NeedsQuotes(std::string_view value) {
    return TrimBlanks(value) != value || (!value.empty() && value[0] == '"') ||
           HasControlCharacter(value);
}

std::string Quoted(std::string_view value) {
    std::string out = "\"";
    for (char c : value) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

// Reads a value that starts with a double quote; returns nullopt with a reason when malformed.
std::optional<std::string> Unquoted(std::string_view text, std::string& reason) {
    std::string out;
    size_t i = 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) break;
        switch (text[i]) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            default:
                reason = "unknown escape in quoted value";
                return std::nullopt;
        }
    }
    if (i >= text.size()) {
        reason = "quoted value is not closed";
        return std::nullopt;
    }
    if (!TrimBlanks(text.substr(i + 1)).empty()) {
        reason = "text after the closing quote";
        return std::nullopt;
    }
    return out;
}

std::optional<FormDesign> Fail(DesignError* error, int line, std::string message) {
    if (error) *error = {line, std::move(message)};
    return std::nullopt;
}

}  // namespace

const ControlDesign* FindControl(const FormDesign& design, std::string_view name) {
    for (const auto& control : design.controls) {
        if (EqualsIgnoringAsciiCase(control.name, name)) return &control;
    }
    return nullptr;
}

ControlDesign* FindControl(FormDesign& design, std::string_view name) {
    return const_cast<ControlDesign*>(FindControl(static_cast<const FormDesign&>(design), name));
}

ControlDesign& ControlEntry(FormDesign& design, std::string_view name) {
    if (ControlDesign* existing = FindControl(design, name)) return *existing;
    design.controls.push_back({std::string(name), {}});
    return design.controls.back();
}

std::optional<FormDesign> ParseFormDesign(std::string_view text, DesignError* error) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }

    FormDesign design;
    ControlDesign* current = nullptr;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        line = TrimBlanks(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;

        if (line[0] == '[') {
            if (line.back() != ']') return Fail(error, lineNumber, "section header without ']'");
            const std::string_view name = TrimBlanks(line.substr(1, line.size() - 2));
            if (name.empty()) return Fail(error, lineNumber, "section without a control name");
            if (FindControl(design, name)) {
                return Fail(error, lineNumber, "control named twice: " + std::string(name));
            }
            design.controls.push_back({std::string(name), {}});
            current = &design.controls.back();
            continue;
        }

        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            return Fail(error, lineNumber, "expected 'key = value'");
        }
        const std::string_view key = TrimBlanks(line.substr(0, equals));
        const std::string_view rawValue = TrimBlanks(line.substr(equals + 1));
        if (key.empty()) return Fail(error, lineNumber, "value without a key");
        if (!current) return Fail(error, lineNumber, "value before the first section");
        if (current->properties.Find(key)) {
            return Fail(error, lineNumber, "key given twice: " + std::string(key));
        }

        std::string value(rawValue);
        if (!rawValue.empty() && rawValue[0] == '"') {
            std::string reason;
            auto unquoted = Unquoted(rawValue, reason);
            if (!unquoted) return Fail(error, lineNumber, reason);
            value = std::move(*unquoted);
        }
        current->properties.Set(key, std::move(value));
    }
    return design;
}

std::optional<std::string> FormatFormDesign(const FormDesign& design) {
    std::string out;
    for (const auto& control : design.controls) {
        if (!IsWritableName(control.name)) return std::nullopt;
        if (!out.empty()) out += '\n';
        out += "[" + control.name + "]\n";
        for (const auto& [key, value] : control.properties.Entries()) {
            if (!IsWritableKey(key)) return std::nullopt;
            out += key + " = " + (NeedsQuotes(value) ? Quoted(value) : value) + "\n";
        }
    }
    return out;
}
