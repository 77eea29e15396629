// corvella-course: the course compiler. Builds the lesson and index resources
// from a course's UTF-8 sources, and lists, dumps, compresses and decompresses
// what it built. See the usage text below and resources/course/README.md.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "content/article_document.h"
#include "content/lesson_container.h"
#include "content/palmdoc.h"
#include "tools/course_build.h"
#include "tools/course_documents.h"
#include "tools/course_pack.h"
#include "tools/course_source.h"

namespace {

constexpr const char* kUsage = R"(usage:
  corvella-course build COURSE_FOLDER [--pack FILE] [--cpp FILE] [--quiet]
      Compiles the course in COURSE_FOLDER (lesson-001.txt .. lesson-245.txt and
      index.txt) into its resources: each document converted to BookCode,
      compressed with PalmDoc and put in its container; lesson n becomes RCDATA
      1000 + n, the index 32767. --pack writes them as a course pack (read by
      list and dump), --cpp as a C++ source that defines CourseRcData(). Outputs
      are written only when the whole course compiles, each replaced whole.
      Prints what it built: documents, sizes and the marks it dropped.
  corvella-course list PACK
      One line per resource: lesson, resource number, plain and packed sizes,
      paragraphs (index entries), and the totals.
  corvella-course dump PACK LESSON|index
      Prints a lesson (1-245) or the index back as source text (UTF-8, with its
      styles), in the form the compiler reads.
  corvella-course compress IN OUT
      Compresses the raw file IN into the PalmDoc stream OUT.
  corvella-course decompress IN OUT [--length N]
      Decompresses the PalmDoc stream IN into OUT. With --length the output must
      be exactly N bytes and the stream must end with it.

Lesson source lines: "STYLE [PARAM]: TEXT"; style names: heading (0xDC),
heading-ltr (0xCC), centre (0xD1), centre-ltr (0xC1), small-centre (0xD2),
small-right (0xB2), rule (0xC7), text (0xB1), text-ltr (0x81), or a number.
Index source lines: "heading: TEXT", "lesson N: TEXT", "entry ID: TEXT", each
optionally with "level N" and "style S" before the colon. Lines starting with
"#" are comments. Exit status: 0 success, 1 bad input, 2 bad usage.
)";

int Usage(const char* problem) {
  if (problem != nullptr) std::fprintf(stderr, "corvella-course: %s\n\n", problem);
  std::fputs(kUsage, stderr);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "corvella-course: %s\n", message.c_str());
  return 1;
}

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string_view Chars(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool LoadPack(const char* path, std::vector<course::PackedResource>* resources,
              std::string* error) {
  std::string bytes;
  if (!course::ReadFile(path, &bytes, error)) return false;
  if (!course::ReadPack(Bytes(bytes), resources, error)) {
    *error = std::string(path) + ": " + *error;
    return false;
  }
  return true;
}

// The document inside one resource, decompressed and checked.
bool OpenResource(const course::PackedResource& resource, LessonContainer* container,
                  std::vector<std::uint8_t>* document, std::string* error) {
  std::string why = ParseLessonResource(resource.bytes, container);
  if (!why.empty()) {
    *error = "resource " + std::to_string(resource.number) + ": " + why;
    return false;
  }
  document->assign(container->plainLength, 0);
  const PalmDocDecodeResult result = PalmDocDecode(container->stream, *document);
  if (!result.complete) {
    *error = "resource " + std::to_string(resource.number) + ": the stream ends after " +
             std::to_string(result.written) + " of " + std::to_string(container->plainLength) +
             " bytes";
    return false;
  }
  return true;
}

int Build(int argc, char** argv) {
  const char* folder = nullptr;
  const char* pack = nullptr;
  const char* cpp = nullptr;
  bool quiet = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--pack" && i + 1 < argc) {
      pack = argv[++i];
    } else if (arg == "--cpp" && i + 1 < argc) {
      cpp = argv[++i];
    } else if (arg == "--quiet") {
      quiet = true;
    } else if (folder == nullptr && !arg.starts_with("--")) {
      folder = argv[i];
    } else {
      return Usage(("build: unexpected '" + arg + "'").c_str());
    }
  }
  if (folder == nullptr) return Usage("build: no course folder given");
  if (pack == nullptr && cpp == nullptr) return Usage("build: give --pack FILE or --cpp FILE");

  course::BuiltCourse built;
  std::vector<std::string> errors;
  if (!course::BuildCourse(folder, kLessonCount, &built, &errors)) {
    for (const std::string& error : errors) std::fprintf(stderr, "%s\n", error.c_str());
    return Fail("the course was not built (" + std::to_string(errors.size()) +
                (errors.size() == 1 ? " fault)" : " faults)"));
  }
  std::string error;
  if (pack != nullptr) {
    const std::vector<std::uint8_t> bytes = course::WritePack(built.resources);
    if (!course::WriteFileAtomically(pack, Chars(bytes), &error)) return Fail(error);
  }
  if (cpp != nullptr) {
    const std::string source = course::WriteCppSource(built.resources, folder);
    if (!course::WriteFileAtomically(cpp, source, &error)) return Fail(error);
  }
  if (!quiet) {
    std::size_t plain = 0;
    std::size_t packed = 0;
    int paragraphs = 0;
    int entries = 0;
    for (const course::DocumentStats& stats : built.stats) {
      plain += stats.plainLength;
      packed += stats.packedLength;
      (stats.lesson == kIndexLesson ? entries : paragraphs) += stats.records;
    }
    long dropped = 0;
    for (const auto& [what, count] : built.drops) dropped += count;
    std::printf("built %zu lessons (%d paragraphs) and the index (%d entries)\n",
                built.stats.size() - 1, paragraphs, entries);
    std::printf("plain %zu bytes, packed %zu bytes (%.1f%%)\n", plain, packed,
                plain == 0 ? 0.0 : 100.0 * static_cast<double>(packed) / static_cast<double>(plain));
    std::printf("dropped marks: %ld\n", dropped);
    for (const auto& [what, count] : built.drops) std::printf("  %-40s %ld\n", what.c_str(), count);
  }
  return 0;
}

int List(int argc, char** argv) {
  if (argc != 3) return Usage("list: give the course pack");
  std::vector<course::PackedResource> resources;
  std::string error;
  if (!LoadPack(argv[2], &resources, &error)) return Fail(error);
  std::printf("%-8s %8s %8s %8s %10s\n", "lesson", "resource", "plain", "packed", "paragraphs");
  std::size_t plain = 0;
  std::size_t packed = 0;
  bool ok = true;
  for (const course::PackedResource& resource : resources) {
    LessonContainer container;
    std::vector<std::uint8_t> document;
    if (!OpenResource(resource, &container, &document, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      ok = false;
      continue;
    }
    const bool isIndex = resource.number == LessonResourceNumber(kIndexLesson);
    int records = 0;
    if (isIndex) {
      ForEachIndexRecord(document, [&](const IndexRecord&) { return ++records, true; });
    } else {
      ForEachParagraph(document, [&](const ParagraphRecord&) { return ++records, true; });
    }
    const std::string name =
        isIndex ? std::string("index") : std::to_string(static_cast<int>(resource.number) - 1000);
    std::printf("%-8s %8u %8u %8u %10d\n", name.c_str(), static_cast<unsigned>(resource.number),
                static_cast<unsigned>(container.plainLength),
                static_cast<unsigned>(container.packedLength), records);
    plain += container.plainLength;
    packed += container.packedLength;
  }
  std::printf("%-8s %8zu %8zu %8zu\n", "total", resources.size(), plain, packed);
  return ok ? 0 : 1;
}

int Dump(int argc, char** argv) {
  if (argc != 4) return Usage("dump: give the course pack and a lesson number or 'index'");
  const std::string which = argv[3];
  int lesson = 0;
  if (which == "index") {
    lesson = kIndexLesson;
  } else {
    char* end = nullptr;
    const long n = std::strtol(which.c_str(), &end, 10);
    if (end == which.c_str() || *end != '\0' || n < 1 || n > kLessonCount) {
      return Usage("dump: the lesson is a number from 1 to 245, or 'index'");
    }
    lesson = static_cast<int>(n);
  }
  std::vector<course::PackedResource> resources;
  std::string error;
  if (!LoadPack(argv[2], &resources, &error)) return Fail(error);
  for (const course::PackedResource& resource : resources) {
    if (resource.number != LessonResourceNumber(lesson)) continue;
    LessonContainer container;
    std::vector<std::uint8_t> document;
    if (!OpenResource(resource, &container, &document, &error)) return Fail(error);
    std::string problem;
    std::string text;
    bool ok = false;
    if (lesson == kIndexLesson) {
      course::IndexSource index;
      ok = course::DecompileIndex(document, &index, &problem);
      text = course::WriteIndexSource(index);
    } else {
      course::LessonSource source;
      ok = course::DecompileLesson(document, &source, &problem);
      text = course::WriteLessonSource(source);
    }
    std::fputs(text.c_str(), stdout);
    if (!problem.empty()) std::fprintf(stderr, "corvella-course: %s\n", problem.c_str());
    return ok ? 0 : 1;
  }
  return Fail(std::string(argv[2]) + ": no resource " +
              std::to_string(LessonResourceNumber(lesson)));
}

int Compress(int argc, char** argv) {
  if (argc != 4) return Usage("compress: give IN and OUT");
  std::string input;
  std::string error;
  if (!course::ReadFile(argv[2], &input, &error)) return Fail(error);
  const std::vector<std::uint8_t> packed = PalmDocCompress(Bytes(input));
  if (!course::WriteFileAtomically(argv[3], Chars(packed), &error)) return Fail(error);
  std::printf("%zu bytes -> %zu bytes\n", input.size(), packed.size());
  return 0;
}

int Decompress(int argc, char** argv) {
  long wanted = -1;
  if (argc == 6 && std::string(argv[4]) == "--length") {
    char* end = nullptr;
    wanted = std::strtol(argv[5], &end, 10);
    if (end == argv[5] || *end != '\0' || wanted < 0) return Usage("decompress: bad --length");
  } else if (argc != 4) {
    return Usage("decompress: give IN and OUT, optionally --length N");
  }
  std::string input;
  std::string error;
  if (!course::ReadFile(argv[2], &input, &error)) return Fail(error);
  // No byte of a stream yields more than 5 bytes of output (a 2-byte copy of 10).
  const std::size_t room = wanted >= 0 ? static_cast<std::size_t>(wanted) : input.size() * 5;
  std::vector<std::uint8_t> output(room);
  const PalmDocDecodeResult result = PalmDocDecode(Bytes(input), output);
  if (wanted >= 0) {
    if (!result.complete) {
      return Fail("the stream gives only " + std::to_string(result.written) + " of " +
                  std::to_string(wanted) + " bytes");
    }
    if (result.consumed != input.size()) {
      return Fail("the stream goes on for " + std::to_string(input.size() - result.consumed) +
                  " bytes after " + std::to_string(wanted) + " bytes of output");
    }
  } else if (result.consumed != input.size()) {
    return Fail("the stream breaks the scheme's limits at byte " +
                std::to_string(result.consumed));
  }
  output.resize(result.written);
  if (!course::WriteFileAtomically(argv[3], Chars(output), &error)) return Fail(error);
  std::printf("%zu bytes -> %zu bytes\n", input.size(), output.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(nullptr);
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "build") return Build(argc, argv);
  if (command == "list") return List(argc, argv);
  if (command == "dump") return Dump(argc, argv);
  if (command == "compress") return Compress(argc, argv);
  if (command == "decompress") return Decompress(argc, argv);
  return Usage(("unknown command '" + command + "'").c_str());
}
