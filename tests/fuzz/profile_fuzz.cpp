// The profile (INI) text rules over arbitrary files: the input is a section, a key and a value,
// each ended by a NUL, then the file's bytes. The file is read, the value is written and read
// back, and every other section and key of the file must keep its value.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "host/runtime/profile_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Names looked at for the "other keys keep their values" rule; enough to cover the seeds.
constexpr size_t kMostNames = 8;

bool IsBlank(char c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' ';
}

std::string Trim(const std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool SameName(const std::string& a, const std::string& b) {
    return Lower(Trim(a)) == Lower(Trim(b));
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// What a read answers for a stored value: enclosing quotes removed.
std::string Answered(std::string value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// A key the file can hold: its line "key=value" must read as that key. A key holding "=" or
// starting with "[" cannot be told from another key or from a section header, in the system's
// files as in ours; one starting with a UTF-8 byte-order mark may land on the file's first line,
// where the mark is skipped.
bool IsStorableKey(const std::string& key) {
    const std::string name = Trim(key);
    return key.find('=') == std::string::npos && (name.empty() || name[0] != '[') &&
           name.rfind("\xEF\xBB\xBF", 0) != 0;
}

// Section and key names as they stand in the text, found by looking at each line on its own.
struct NamesInText {
    std::vector<std::string> sections{""};
    std::vector<std::string> keys;
};

NamesInText NamesOf(const std::string& text) {
    NamesInText names;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string line = Trim(text.substr(at, end - at));
        at = end + 1;
        const size_t close = line.rfind(']');
        if (!line.empty() && line[0] == '[' && close != std::string::npos && close > 0) {
            if (names.sections.size() < kMostNames) {
                names.sections.push_back(line.substr(1, close - 1));
            }
        } else if (names.keys.size() < kMostNames) {
            names.keys.push_back(line.substr(0, line.find('=')));
        }
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> fields = SplitInput(data, size, 4);
    if (fields.size() < 4) return 0;
    const std::string& section = fields[0];
    const std::string& key = fields[1];
    const std::string& value = fields[2];
    const std::string& text = fields[3];

    const std::optional<std::string> stored = ProfileValue(text, section, key);
    if (stored) {
        FuzzExpect(ProfileAnswer(stored) == Answered(*stored),
                   "a stored value is answered as stored");
    }

    const std::optional<std::string> edited = ProfileWithValue(text, section, key, value);
    const bool refused = HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value);
    FuzzExpect(edited.has_value() != refused, "only a line break makes a write fail");
    if (!edited || !IsStorableKey(key)) return 0;

    const std::optional<std::string> readBack = ProfileValue(*edited, section, key);
    FuzzExpect(readBack == Trim(value), "a written value reads back without its blanks");
    FuzzExpect(ProfileAnswer(readBack) == Answered(Trim(value)),
               "a written value is answered as written");

    const NamesInText names = NamesOf(text);
    for (const std::string& otherSection : names.sections) {
        for (const std::string& otherKey : names.keys) {
            if (SameName(otherSection, section) && SameName(otherKey, key)) continue;
            FuzzExpect(ProfileValue(text, otherSection, otherKey) ==
                           ProfileValue(*edited, otherSection, otherKey),
                       "every other key keeps its value");
        }
    }
    return 0;
}
