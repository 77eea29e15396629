#pragma once
// Conversion into a converter record's buffer, shared by ConvertBookText and
// the run operations. Internal to the content library.

#include <cstdint>

#include "content/book_code.h"

// Converts at most n characters of `text` into `converter`'s buffer (grown
// when n exceeds its capacity), with the converter's base or the settings'
// one. `reverse` false converts in reading order whatever the Reverse flag
// says (for measuring). Null when memory ran out.
char16_t* ConvertIntoRecord(ConverterRecord* converter, const std::uint8_t* text, int n,
                            bool reverse, int* extra, int* written);

// The base a conversion through `converter` (may be null) uses.
int ConversionBase(const ConverterRecord* converter);
