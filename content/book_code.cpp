#include <cstddef>

#include "app/app_state.h"
#include "content/book_code.h"
#include "content/book_code_convert.h"

ConverterRecord SharedConverter{};

void ReleaseSharedConverter() {
  ReleaseBlock(SharedConverter.units);
  SharedConverter.units = nullptr;
  SharedConverter.capacity = 0;
}

namespace {

bool ReverseWanted() { return (App.Flags & kFlagReverse) != 0; }

std::size_t UnitsFor(int n) { return 2 * static_cast<std::size_t>(n) + 2; }

}  // namespace

int ConversionBase(const ConverterRecord* converter) {
  if (converter != nullptr && converter->base != 0) return converter->base;
  return App.Font.FontAsciiBase;
}

char16_t* ConvertIntoRecord(ConverterRecord* converter, const std::uint8_t* text, int n,
                            bool reverse, int* extra, int* written) {
  if (n < 0) n = 0;
  const int base = ConversionBase(converter);
  if (converter->units == nullptr || n > converter->capacity) {
    auto* grown = static_cast<char16_t*>(CheckedAlloc(UnitsFor(n) * sizeof(char16_t)));
    if (grown == nullptr) return nullptr;  // ShutDown has run; the record may be gone
    ReleaseBlock(converter->units);
    converter->units = grown;
    converter->capacity = n;
  }
  const int e = ConvertBookCodeRun(text, n, base, reverse, converter->units, written);
  if (extra != nullptr) *extra = e;
  return converter->units;
}

char16_t* ConvertBookText(const std::uint8_t* text, int n, ConverterRecord* converter, int* extra) {
  if (n < 0) n = 0;
  if (converter != nullptr) {
    return ConvertIntoRecord(converter, text, n, ReverseWanted(), extra, nullptr);
  }
  auto* units = static_cast<char16_t*>(CheckedAlloc(UnitsFor(n) * sizeof(char16_t)));
  if (units == nullptr) return nullptr;
  const int e = ConvertBookCodeRun(text, n, ConversionBase(nullptr), ReverseWanted(), units);
  if (extra != nullptr) *extra = e;
  return units;
}

void ConvertTypedText(const char16_t* typed) {
  TypedTextToBookCode(typed, App.Font.FontAsciiBase, App.SearchString);
}
