#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/controls/font_desc.h"

// The keyed values that one control keeps in its form's stored design data.
// Keys are matched without regard to ASCII case; entries keep the order they were first set in.
class PropertyStore {
  public:
    using Entry = std::pair<std::string, std::string>;

    std::optional<std::string> Find(std::string_view key) const;
    // Replaces the value (and the key's spelling) of an existing entry, or appends one.
    void Set(std::string_view key, std::string value);
    void Remove(std::string_view key);
    const std::vector<Entry>& Entries() const { return entries_; }

  private:
    std::vector<Entry> entries_;
};

// Typed reads. An absent key gives the fallback; a value that cannot be read as the type
// (or lies outside [least, most]) gives nullopt, so the caller can leave its field alone.
// Booleans read "True"/"False" in any case or a whole number (non-zero is true).
// Whole numbers are decimal with an optional sign, or "&H" followed by up to 8 hex digits
// and an optional trailing "&".
std::optional<bool> ReadBoolean(const PropertyStore& store, std::string_view key, bool fallback);
std::string ReadText(const PropertyStore& store, std::string_view key, std::string_view fallback);
std::optional<int64_t> ReadInteger(const PropertyStore& store, std::string_view key,
                                   int64_t fallback, int64_t least, int64_t most);
std::optional<FontDesc> ReadFont(const PropertyStore& store, std::string_view key,
                                 const FontDesc& fallback);

// Typed writes. A value equal to its fallback is not stored: any entry under the key is removed.
// Booleans are written as -1 (true) and 0 (false), whole numbers in decimal.
void WriteBoolean(PropertyStore& store, std::string_view key, bool value, bool fallback);
void WriteText(PropertyStore& store, std::string_view key, std::string_view value,
               std::string_view fallback);
void WriteInteger(PropertyStore& store, std::string_view key, int64_t value, int64_t fallback);
void WriteFont(PropertyStore& store, std::string_view key, const FontDesc& value,
               const FontDesc& fallback);
