#include "host/runtime/profile_text.h"

#include <cstdint>
#include <vector>

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8MarkSize = 3;
constexpr char32_t kReplacement = 0xFFFD;

// How the file's bytes hold its text. A UTF-16 file is worked on as UTF-8 and its lines are
// turned back into UTF-16 only where they change.
enum class TextForm { Bytes, Utf16Le, Utf16Be };

TextForm FormOf(const std::string& text) {
    if (text.compare(0, 2, "\xFF\xFE") == 0) return TextForm::Utf16Le;
    if (text.compare(0, 2, "\xFE\xFF") == 0) return TextForm::Utf16Be;
    return TextForm::Bytes;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Bytes of the UTF-8 sequence a lead byte starts; 0 for a byte that starts none.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead < 0xC2) return 0;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return lead < 0xF5 ? 4 : 0;
}

// The characters of well-formed UTF-8; nullopt for anything else (overlong forms, surrogates).
std::optional<std::u32string> Utf8Characters(const std::string& text) {
    std::u32string characters;
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = SequenceLength(lead);
        if (length == 0 || at + length > text.size()) return std::nullopt;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        characters += c;
        at += length;
    }
    return characters;
}

void AppendUnit(std::string& out, TextForm form, char32_t unit) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    out += form == TextForm::Utf16Le ? low : high;
    out += form == TextForm::Utf16Le ? high : low;
}

// Text the rules made (always well-formed UTF-8 for a UTF-16 file) in the file's form.
std::string Stored(TextForm form, const std::string& text) {
    if (form == TextForm::Bytes) return text;
    std::string out;
    // Checked to be well-formed before it gets here.
    for (const char32_t c : Utf8Characters(text).value_or(std::u32string())) {
        if (c < 0x10000) {
            AppendUnit(out, form, c);
        } else {
            AppendUnit(out, form, 0xD800 + ((c - 0x10000) >> 10));
            AppendUnit(out, form, 0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// UTF-16 code units as UTF-8; a surrogate without its partner reads as U+FFFD.
std::string Utf8OfUnits(const std::vector<char16_t>& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() &&
                          units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
        if (pair) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

bool IsBlank(char c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' ';
}

std::string Trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// One line of the file as the profile rules see it.
struct ProfileLine {
    enum class Kind { Blank, Section, Key } kind = Kind::Blank;
    std::string name;                  // section or key name, trimmed
    std::optional<std::string> value;  // after "=", trimmed; none without "="
};

ProfileLine Parse(const std::string& raw) {
    const std::string line = Trimmed(raw);
    ProfileLine parsed;
    if (line.empty()) return parsed;
    if (line[0] == '[') {
        const size_t close = line.rfind(']');
        if (close != std::string::npos && close > 0) {
            parsed.kind = ProfileLine::Kind::Section;
            parsed.name = Trimmed(line.substr(1, close - 1));
            return parsed;
        }
    }
    parsed.kind = ProfileLine::Kind::Key;
    const size_t equals = line.find('=');
    parsed.name = Trimmed(line.substr(0, equals));
    if (equals != std::string::npos) parsed.value = Trimmed(line.substr(equals + 1));
    return parsed;
}

struct SplitText {
    TextForm form = TextForm::Bytes;
    std::string mark;                 // the byte-order mark at the start, kept as found
    std::vector<std::string> lines;   // without their line ends; UTF-8 for a UTF-16 file
    std::vector<std::string> stored;  // each line's bytes as the file holds them
};

void SplitBytes(const std::string& text, SplitText& split) {
    size_t at = 0;
    if (text.compare(0, kUtf8MarkSize, kUtf8Mark) == 0) {
        split.mark = kUtf8Mark;
        at = kUtf8MarkSize;
    }
    while (at < text.size()) {
        const size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            split.lines.push_back(text.substr(at));
            break;
        }
        split.lines.push_back(text.substr(at, end - at));
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    split.stored = split.lines;
}

// A last odd byte is no whole code unit: it is not part of the text.
void SplitUtf16(const std::string& text, SplitText& split) {
    split.mark = text.substr(0, 2);
    const size_t end = text.size() - text.size() % 2;
    const auto unitAt = [&](size_t at) {
        const auto first = static_cast<unsigned char>(text[at]);
        const auto second = static_cast<unsigned char>(text[at + 1]);
        return static_cast<char16_t>(split.form == TextForm::Utf16Le ? first | second << 8
                                                                     : first << 8 | second);
    };
    std::vector<char16_t> units;
    size_t start = 2;
    for (size_t at = 2; at < end; at += 2) {
        const char16_t unit = unitAt(at);
        if (unit != u'\r' && unit != u'\n') {
            units.push_back(unit);
            continue;
        }
        split.lines.push_back(Utf8OfUnits(units));
        split.stored.push_back(text.substr(start, at - start));
        units.clear();
        if (unit == u'\r' && at + 2 < end && unitAt(at + 2) == u'\n') at += 2;
        start = at + 2;
    }
    if (start < end) {
        split.lines.push_back(Utf8OfUnits(units));
        split.stored.push_back(text.substr(start, end - start));
    }
}

SplitText Split(const std::string& text) {
    SplitText split;
    split.form = FormOf(text);
    if (split.form == TextForm::Bytes) {
        SplitBytes(text, split);
    } else {
        SplitUtf16(text, split);
    }
    return split;
}

// Where the first section of a name lies: its header line (none for the unnamed section at the
// start) and the line after its last one.
struct SectionSpan {
    std::optional<size_t> header;
    size_t end = 0;
};

std::optional<SectionSpan> FindSection(const std::vector<std::string>& lines,
                                       const std::string& section) {
    std::optional<SectionSpan> span;
    if (section.empty()) span = SectionSpan{};
    for (size_t i = 0; i < lines.size(); ++i) {
        const ProfileLine line = Parse(lines[i]);
        if (line.kind != ProfileLine::Kind::Section) continue;
        if (span) {
            span->end = i;
            return span;
        }
        if (SameName(line.name, section)) span = SectionSpan{i, 0};
    }
    if (span) span->end = lines.size();
    return span;
}

std::optional<size_t> FindKey(const std::vector<std::string>& lines, const SectionSpan& span,
                              const std::string& key) {
    for (size_t i = span.header ? *span.header + 1 : 0; i < span.end; ++i) {
        const ProfileLine line = Parse(lines[i]);
        if (line.kind == ProfileLine::Kind::Key && SameName(line.name, key)) return i;
    }
    return std::nullopt;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

std::optional<std::string> ProfileValue(const std::string& text, const std::string& section,
                                        const std::string& key) {
    const std::vector<std::string> lines = Split(text).lines;
    const auto span = FindSection(lines, Trimmed(section));
    if (!span) return std::nullopt;
    const auto found = FindKey(lines, *span, Trimmed(key));
    if (!found) return std::nullopt;
    return Parse(lines[*found]).value;
}

std::string ProfileAnswer(const std::optional<std::string>& stored) {
    if (!stored) return std::string();
    const std::string& answer = *stored;
    if (answer.size() >= 2 && (answer[0] == '"' || answer[0] == '\'') &&
        answer.back() == answer[0]) {
        return answer.substr(1, answer.size() - 2);
    }
    return answer;
}

std::optional<std::string> ProfileWithValue(const std::string& text, const std::string& section,
                                            const std::string& key, const std::string& value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return std::nullopt;
    SplitText split = Split(text);
    if (split.form != TextForm::Bytes) {
        // Only Unicode text goes into a UTF-16 file, never bytes of another encoding.
        for (const std::string* part : {&section, &key, &value}) {
            if (!Utf8Characters(*part)) return std::nullopt;
        }
    }
    std::vector<std::string>& lines = split.lines;
    std::vector<std::string>& stored = split.stored;
    const auto put = [&](size_t at, const std::string& line) {
        lines.insert(lines.begin() + static_cast<long>(at), line);
        stored.insert(stored.begin() + static_cast<long>(at), Stored(split.form, line));
    };
    const std::string sectionName = Trimmed(section);
    const std::string keyName = Trimmed(key);

    if (const auto span = FindSection(lines, sectionName)) {
        if (const auto found = FindKey(lines, *span, keyName)) {
            lines[*found] = Parse(lines[*found]).name + "=" + value;
            stored[*found] = Stored(split.form, lines[*found]);
        } else {
            // After the section's last line that is not blank.
            size_t at = span->end;
            const size_t first = span->header ? *span->header + 1 : 0;
            while (at > first && Parse(lines[at - 1]).kind == ProfileLine::Kind::Blank) --at;
            put(at, keyName + "=" + value);
        }
    } else {
        put(lines.size(), "[" + sectionName + "]");
        put(lines.size(), keyName + "=" + value);
    }

    std::string result = split.mark;
    const std::string lineEnd = Stored(split.form, "\r\n");
    for (const std::string& line : stored) result += line + lineEnd;
    return result;
}

bool IsUtf16Profile(const std::string& text) {
    return FormOf(text) != TextForm::Bytes;
}
