#pragma once
// Binary files the build embeds in the executable (resources/CMakeLists.txt).

#include <cstddef>
#include <cstdint>
#include <span>

#define CORVELLA_EMBEDDED(symbol)                 \
  extern const std::uint8_t symbol[];            \
  extern const std::size_t symbol##_size;        \
  inline std::span<const std::uint8_t> symbol##Bytes() { return {symbol, symbol##_size}; }

CORVELLA_EMBEDDED(kToolbarBmp)
CORVELLA_EMBEDDED(kPlusBoxBmp)
CORVELLA_EMBEDDED(kMinusBoxBmp)
CORVELLA_EMBEDDED(kPageBmp)
CORVELLA_EMBEDDED(kProgramIcon)

#undef CORVELLA_EMBEDDED
