#pragma once
// The record formats of decompressed documents: the ArticleDocument of a
// lesson (Paragraph records) and the IndexDocument of the index (IndexEntry
// records), with bounded walks over them.
//
// ArticleDocument: records of StyleByte (never 0 in a paragraph), param, BookCode
// text, 0 byte; the next record follows the 0 byte; the document ends at the
// first StyleByte 0. IndexDocument: records of id (16-bit little-endian),
// StyleByte, level, text, 0 byte; it ends at the first StyleByte 0.
//
// Positions are byte offsets from the document's first byte, 16 bits wide. The
// walks never read outside the span they are given: a record whose head or
// text terminator lies beyond the span ends the walk like a StyleByte of 0.
// Pure code.

#include <cstddef>
#include <cstdint>
#include <span>

// StyleByte bits.
constexpr std::uint8_t kStyleFontKeyMask = 0x1F;  // font key: StyleByte & 0x1F
constexpr std::uint8_t kStylePlain = 0x01;        // part of the key, no effect
constexpr std::uint8_t kStyleSmall = 0x02;
constexpr std::uint8_t kStyleLarge = 0x04;
constexpr std::uint8_t kStyleBold = 0x08;
constexpr std::uint8_t kStyleRightToLeft = 0x10;
constexpr std::uint8_t kStyleAlignMask = 0x60;
constexpr std::uint8_t kStyleAlignLeft = 0x00;
constexpr std::uint8_t kStyleAlignRight = 0x20;
constexpr std::uint8_t kStyleAlignCentre = 0x40;
constexpr std::uint8_t kStyleAlignLeftToo = 0x60;  // lays out like 0x00
constexpr std::uint8_t kStyleBlankRow = 0x80;      // article: blank row after; index: visible
constexpr std::uint8_t kStyleIndexOpen = 0x40;     // index: a heading open after layout
constexpr std::uint8_t kStyleSeparatorMask = 0x07; // all three set: a separator

constexpr bool IsSeparatorStyle(std::uint8_t style) {
  return (style & kStyleSeparatorMask) == kStyleSeparatorMask;
}

// param of a text paragraph.
constexpr std::uint8_t kParamIndentMask = 0x3F;
constexpr int HangingLevel(std::uint8_t param) { return param >> 6; }

// The StyleByte values of the shipped lessons and the title box.
constexpr std::uint8_t kStyleHeading = 0xCC;          // large, bold, centred, blank row
constexpr std::uint8_t kStyleHeadingRtl = 0xDC;
constexpr std::uint8_t kStyleSubheading = 0xC1;       // plain, centred, blank row
constexpr std::uint8_t kStyleSubheadingRtl = 0xD1;    // 209
constexpr std::uint8_t kStyleSmallCentredRtl = 0xD2;  // 210
constexpr std::uint8_t kStyleSmallRightRtl = 0xB2;    // 178
constexpr std::uint8_t kStyleCentredSeparator = 0xC7; // 199
constexpr std::uint8_t kStyleBodyRtl = 0xB1;          // 177
constexpr std::uint8_t kStyleBodyLtr = 0x81;          // 129

// IndexEntry id bits.
constexpr std::uint16_t kIndexIdHeading = 0x8000;
constexpr std::uint16_t kIndexIdLink = 0x4000;
constexpr std::uint16_t kIndexIdNumberMask = 0x3FFF;

// One Paragraph record as found in a document.
struct ParagraphRecord {
  std::size_t offset = 0;      // of the StyleByte
  std::uint8_t style = 0;
  std::uint8_t param = 0;
  std::size_t textOffset = 0;  // offset + 2
  std::size_t textLength = 0;  // bytes before the text's 0
  std::size_t next = 0;        // offset of the following record: textOffset + textLength + 1
};

// Reads the record at `offset`. Returns false at the end of the document: a
// StyleByte of 0, or a record that does not fit `document` (offset or param
// beyond it, or no 0 byte after the text inside it).
bool ReadParagraph(std::span<const std::uint8_t> document, std::size_t offset,
                   ParagraphRecord* out);

// One IndexEntry record.
struct IndexRecord {
  std::size_t offset = 0;
  std::uint16_t id = 0;
  std::uint8_t style = 0;
  std::uint8_t level = 0;
  std::size_t textOffset = 0;  // offset + 4
  std::size_t textLength = 0;
  std::size_t next = 0;        // textOffset + textLength + 1
};

// Reads the index record at `offset`; false at the terminator (StyleByte 0) or
// when the record does not fit `document`.
bool ReadIndexRecord(std::span<const std::uint8_t> document, std::size_t offset,
                     IndexRecord* out);

// Walks every paragraph from offset 0; `visit` returns false to stop early.
// Returns the offset where the walk ended (the terminator's StyleByte, or the
// record that did not fit).
template <typename Visit>
std::size_t ForEachParagraph(std::span<const std::uint8_t> document, Visit visit) {
  ParagraphRecord record;
  std::size_t offset = 0;
  while (ReadParagraph(document, offset, &record)) {
    if (!visit(record)) return offset;
    offset = record.next;
  }
  return offset;
}

template <typename Visit>
std::size_t ForEachIndexRecord(std::span<const std::uint8_t> document, Visit visit) {
  IndexRecord record;
  std::size_t offset = 0;
  while (ReadIndexRecord(document, offset, &record)) {
    if (!visit(record)) return offset;
    offset = record.next;
  }
  return offset;
}
