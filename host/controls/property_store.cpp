#include "host/controls/property_store.h"

#include <algorithm>

#include "host/controls/text_util.h"

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (text.size() > 2 && (text[0] == '&') && (text[1] == 'H' || text[1] == 'h')) {
        std::string_view digits = text.substr(2);
        if (!digits.empty() && digits.back() == '&') digits.remove_suffix(1);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        int64_t value = 0;
        for (char c : digits) {
            const int digit = HexDigitValue(c);
            if (digit < 0) return std::nullopt;
            value = value * 16 + digit;
        }
        return value;
    }

    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    // Eighteen digits cannot overflow 64 bits; no stored value needs more.
    if (text.empty() || text.size() > 18) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

}  // namespace

std::optional<std::string> PropertyStore::Find(std::string_view key) const {
    for (const auto& entry : entries_) {
        if (EqualsIgnoringAsciiCase(entry.first, key)) return entry.second;
    }
    return std::nullopt;
}

void PropertyStore::Set(std::string_view key, std::string value) {
    for (auto& entry : entries_) {
        if (EqualsIgnoringAsciiCase(entry.first, key)) {
            entry = {std::string(key), std::move(value)};
            return;
        }
    }
    entries_.emplace_back(std::string(key), std::move(value));
}

void PropertyStore::Remove(std::string_view key) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [key](const Entry& entry) {
                                      return EqualsIgnoringAsciiCase(entry.first, key);
                                  }),
                   entries_.end());
}

std::optional<bool> ReadBoolean(const PropertyStore& store, std::string_view key, bool fallback) {
    const auto text = store.Find(key);
    if (!text) return fallback;
    const std::string_view value = TrimBlanks(*text);
    if (EqualsIgnoringAsciiCase(value, "true")) return true;
    if (EqualsIgnoringAsciiCase(value, "false")) return false;
    const auto number = ParseWholeNumber(value);
    if (!number) return std::nullopt;
    return *number != 0;
}

std::string ReadText(const PropertyStore& store, std::string_view key, std::string_view fallback) {
    auto text = store.Find(key);
    return text ? std::move(*text) : std::string(fallback);
}

std::optional<int64_t> ReadInteger(const PropertyStore& store, std::string_view key,
                                   int64_t fallback, int64_t least, int64_t most) {
    const auto text = store.Find(key);
    if (!text) return fallback;
    const auto number = ParseWholeNumber(*text);
    if (!number || *number < least || *number > most) return std::nullopt;
    return number;
}

std::optional<FontDesc> ReadFont(const PropertyStore& store, std::string_view key,
                                 const FontDesc& fallback) {
    const auto text = store.Find(key);
    if (!text) return fallback;
    return ParseFont(*text);
}

void WriteBoolean(PropertyStore& store, std::string_view key, bool value, bool fallback) {
    if (value == fallback) {
        store.Remove(key);
    } else {
        store.Set(key, value ? "-1" : "0");
    }
}

void WriteText(PropertyStore& store, std::string_view key, std::string_view value,
               std::string_view fallback) {
    if (value == fallback) {
        store.Remove(key);
    } else {
        store.Set(key, std::string(value));
    }
}

void WriteInteger(PropertyStore& store, std::string_view key, int64_t value, int64_t fallback) {
    if (value == fallback) {
        store.Remove(key);
    } else {
        store.Set(key, std::to_string(value));
    }
}

void WriteFont(PropertyStore& store, std::string_view key, const FontDesc& value,
               const FontDesc& fallback) {
    if (value == fallback) {
        store.Remove(key);
    } else {
        store.Set(key, FormatFont(value));
    }
}
