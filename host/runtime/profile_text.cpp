#include "host/runtime/profile_text.h"

#include <vector>

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8MarkSize = 3;

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
    bool byteOrderMark = false;
    std::vector<std::string> lines;  // without their line ends
};

SplitText Split(const std::string& text) {
    SplitText split;
    size_t at = 0;
    if (text.compare(0, kUtf8MarkSize, kUtf8Mark) == 0) {
        split.byteOrderMark = true;
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
    std::vector<std::string>& lines = split.lines;
    const std::string sectionName = Trimmed(section);
    const std::string keyName = Trimmed(key);

    if (const auto span = FindSection(lines, sectionName)) {
        if (const auto found = FindKey(lines, *span, keyName)) {
            lines[*found] = Parse(lines[*found]).name + "=" + value;
        } else {
            // After the section's last line that is not blank.
            size_t at = span->end;
            const size_t first = span->header ? *span->header + 1 : 0;
            while (at > first && Parse(lines[at - 1]).kind == ProfileLine::Kind::Blank) --at;
            lines.insert(lines.begin() + static_cast<long>(at), keyName + "=" + value);
        }
    } else {
        lines.push_back("[" + sectionName + "]");
        lines.push_back(keyName + "=" + value);
    }

    std::string result = split.byteOrderMark ? kUtf8Mark : "";
    for (const std::string& line : lines) result += line + "\r\n";
    return result;
}
