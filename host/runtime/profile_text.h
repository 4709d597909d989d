// The rules of the system's profile (INI) files, applied to a file's bytes: for platforms whose
// system has no profile functions, so that their settings files read and write the same.
//
// Lines end in CR LF, CR or LF. Blanks (tab, line feed, vertical tab, form feed, CR, ^Z and space)
// around a line, a section name, a key and a value do not count. A line "[name]" starts a
// section (text after its last "]" is ignored); other lines are "key=value", or a key without a
// value. Lines before the first section belong to the section named "". Section and key names
// match without regard to ASCII case; only the first section of a name is looked into, and the
// first of duplicate keys counts. Comment lines (";...") are keys nobody asks for. A UTF-8
// byte-order mark at the start is skipped and kept.
//
// A file that starts with a UTF-16 byte-order mark (little- or big-endian) is UTF-16 text, as
// the system's profile functions read it: names, values and answers are then UTF-8, and a write
// keeps the file UTF-16 in its byte order, the lines it does not change unit for unit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The value stored under key, or nullopt when the section or the key is missing or the key's
// line has no "=".
std::optional<std::string> ProfileValue(const std::string& text, const std::string& section,
                                        const std::string& key);

// What a profile read hands back for a stored value: enclosing quotes (' or ") removed; "" when
// nullopt.
std::string ProfileAnswer(const std::optional<std::string>& stored);

// The text with key set to value: the key's line is rewritten in place, a new key goes after
// the last line of its section, a new section goes at the end. Every other line is kept; all
// lines end in CR LF. nullopt when a name or the value holds a line break, or for a UTF-16 file
// is no well-formed UTF-8: the file could not store them.
std::optional<std::string> ProfileWithValue(const std::string& text, const std::string& section,
                                            const std::string& key, const std::string& value);

// Whether the text is a UTF-16 file, whose names and values are handed over as UTF-8.
bool IsUtf16Profile(const std::string& text);
