// Arbitrary bytes as a lesson resource: the container checks and the decoder
// must stay inside the resource and the document buffer whatever comes in, and
// a returned document must hold exactly plainLength bytes and two zeros.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "app/app_state.h"
#include "content/lesson_resource.h"
#include "content/palmdoc.h"
#include "platform/constants.h"
#include "platform/msgbox.h"
#include "platform/resource.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Answer the broken-stream box instead of opening a window.
  pf::SetMessageBoxAnswerer([](const pf::MessageBoxCall&) { return pf::kIdOk; });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that any read past the resource is caught.
  std::vector<std::uint8_t> bytes(data, data + size);
  const pf::BinaryResource resource{1001, bytes};
  pf::ResourceTables tables;
  tables.rcdata = std::span(&resource, 1);
  pf::InstallResources(&tables);

  int error = 0;
  std::uint16_t plainLength = 0;
  DocumentBlock doc(LoadLessonDocument(1, &error, &plainLength));
  if (doc) {
    if (size < 10) __builtin_trap();
    const std::uint16_t stated = static_cast<std::uint16_t>((bytes[8] << 8) | bytes[9]);
    if (stated != plainLength || doc.get()[plainLength] != 0 || doc.get()[plainLength + 1] != 0) {
      __builtin_trap();
    }
  } else if (error < 1 || error > 5) {
    __builtin_trap();
  }
  pf::InstallResources(nullptr);

  // The bare decoder with the bytes as a stream, into an exact-size output.
  if (size >= 2) {
    const std::size_t outSize = (std::size_t{data[0]} << 8 | data[1]);
    std::vector<std::uint8_t> out(outSize);
    const PalmDocDecodeResult r = PalmDocDecode(std::span(data + 2, size - 2), out);
    if (r.written > outSize || r.consumed > size - 2) __builtin_trap();
  }
  return 0;
}
