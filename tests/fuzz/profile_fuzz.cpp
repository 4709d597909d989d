// The profile (INI) text rules over arbitrary files: the input is a section, a key and a value,
// each ended by a NUL, then the file's bytes. The file is read, the value is written and read
// back, and every other section and key of the file must keep its value. A UTF-16 file stays
// UTF-16 in its byte order and takes only well-formed UTF-8 texts.
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

bool IsUtf16(const std::string& text) {
    return text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0;
}

// By the table of well-formed UTF-8 byte sequences.
bool IsWellFormedUtf8(const std::string& text) {
    const auto in = [&](size_t at, int low, int high) {
        return at < text.size() && static_cast<unsigned char>(text[at]) >= low &&
               static_cast<unsigned char>(text[at]) <= high;
    };
    size_t at = 0;
    while (at < text.size()) {
        const auto c = static_cast<unsigned char>(text[at]);
        const bool tail2 = in(at + 1, 0x80, 0xBF) && in(at + 2, 0x80, 0xBF);
        const bool tail3 = in(at + 2, 0x80, 0xBF) && in(at + 3, 0x80, 0xBF);
        if (c < 0x80) {
            at += 1;
        } else if (c >= 0xC2 && c <= 0xDF && in(at + 1, 0x80, 0xBF)) {
            at += 2;
        } else if ((c == 0xE0 && in(at + 1, 0xA0, 0xBF) && in(at + 2, 0x80, 0xBF)) ||
                   (c == 0xED && in(at + 1, 0x80, 0x9F) && in(at + 2, 0x80, 0xBF)) ||
                   (c >= 0xE1 && c <= 0xEF && c != 0xED && tail2)) {
            at += 3;
        } else if ((c == 0xF0 && in(at + 1, 0x90, 0xBF) && tail3) ||
                   (c >= 0xF1 && c <= 0xF3 && in(at + 1, 0x80, 0xBF) && tail3) ||
                   (c == 0xF4 && in(at + 1, 0x80, 0x8F) && tail3)) {
            at += 4;
        } else {
            return false;
        }
    }
    return true;
}

// The file's text as one byte per character: a UTF-16 file's characters beyond ASCII become
// "?", enough to find names to ask for.
std::string Narrowed(const std::string& text) {
    if (!IsUtf16(text)) return text;
    const bool little = text[0] == '\xFF';
    std::string narrow;
    for (size_t at = 2; at + 1 < text.size(); at += 2) {
        const auto first = static_cast<unsigned char>(text[at]);
        const auto second = static_cast<unsigned char>(text[at + 1]);
        const unsigned unit = little ? first | second << 8 : first << 8 | second;
        narrow += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return narrow;
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
// files as in ours; one starting with a byte-order mark may land on the file's first line,
// where the mark is skipped or makes it another encoding.
bool IsStorableKey(const std::string& key) {
    const std::string name = Trim(key);
    return key.find('=') == std::string::npos && (name.empty() || name[0] != '[') &&
           name.rfind("\xEF\xBB\xBF", 0) != 0 && !IsUtf16(name);
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
    const bool unstorable = IsUtf16(text) && !(IsWellFormedUtf8(section) && IsWellFormedUtf8(key) &&
                                               IsWellFormedUtf8(value));
    const bool refused =
        HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || unstorable;
    FuzzExpect(edited.has_value() != refused,
               "only a line break, or bytes a UTF-16 file cannot hold, make a write fail");
    if (!edited || !IsStorableKey(key)) return 0;
    if (IsUtf16(text)) {
        FuzzExpect(edited->compare(0, 2, text, 0, 2) == 0 && edited->size() % 2 == 0,
                   "a UTF-16 file stays UTF-16 in its byte order");
    } else {
        FuzzExpect(!IsUtf16(*edited), "a file of bytes stays one");
    }

    const std::optional<std::string> readBack = ProfileValue(*edited, section, key);
    FuzzExpect(readBack == Trim(value), "a written value reads back without its blanks");
    FuzzExpect(ProfileAnswer(readBack) == Answered(Trim(value)),
               "a written value is answered as written");

    const NamesInText names = NamesOf(Narrowed(text));
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
