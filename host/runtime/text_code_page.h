// Conversion between the host's Unicode texts (UTF-8) and the system's ANSI code page, for the
// places where portable code must know the exact bytes handed to an ANSI system function.
#pragma once

#include <string>

class AnsiCodePage {
  public:
    virtual ~AnsiCodePage() = default;
    // Characters the code page lacks become the platform's replacement character.
    virtual std::string FromUnicode(const std::string& utf8) const = 0;
    virtual std::string ToUnicode(const std::string& ansi) const = 0;
    // Whether the code page holds every character of the text; always so on a platform whose
    // system calls take Unicode.
    virtual bool CanStore(const std::string& utf8) const = 0;
};
