// Texts for people: formatting and quoting of what a file holds.
#ifndef INSPECT_BASE_TEXT_H_
#define INSPECT_BASE_TEXT_H_

#include <stddef.h>

#include <string>

namespace inspect {

// printf into a string.
std::string Format(const char *format, ...)
    __attribute__((format(printf, 1, 2)));

// The length of the well-formed UTF-8 character that starts |text|, which
// has |size| > 0 bytes: 1 to 4, or 0 when the bytes there are not UTF-8
// (an overlong form, a surrogate, beyond U+10FFFF, cut short).
size_t Utf8Length(const char *text, size_t size);

// The code point of the UTF-8 character of |length| bytes, as Utf8Length
// measures it, that starts |text|.
unsigned long CodePoint(const char *text, size_t length);

// |text| in double quotes, each byte written as |escape| gives it, or as
// it is where that gives "": |escape| is asked of each ASCII byte and of
// each byte that is not UTF-8 (|stray|); the other UTF-8 characters stand
// as they are.
std::string QuoteWith(const std::string &text,
                      std::string (*escape)(unsigned char c, bool stray));

// |text| in double quotes, with quotes, backslashes, control characters
// and bytes that are not UTF-8 (as \xE9) escaped, so that one value stays
// on one line.
std::string Quote(const std::string &text);

// |name| without the white space characters beyond ASCII that it holds
// (U+00A0 and the like), which people do not see and XML allows in no
// name; |spaces| gets the first of them in words, "a no-break space
// (U+00A0)", or "" when there is none.
std::string WithoutUnicodeSpaces(const std::string &name, std::string *spaces);

// A character of a payload, named for a message: "a space", "'G'", "0x07".
std::string CharacterName(char c);

// "1 Mode element", "2 Mode elements".
std::string Count(long long count, const char *thing);

// What the reader makes of |text| in a numeric attribute, as the writer
// would put it: atoi's value, printed.
std::string NumberAsWritten(const char *text);

}  // namespace inspect

#endif  // INSPECT_BASE_TEXT_H_
