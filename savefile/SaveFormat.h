// The part of the Quellhart save file (".ess") that the editor reads and rewrites.
//
// All integers are little-endian. A tag is four ASCII bytes, compared exactly
// (case-sensitive) as one 32-bit word. Everything the editor does not name here is
// carried through byte for byte and never interpreted.
//
// File:   offset 0   "TES3"   magic; the rest of the header is not interpreted and is
//                             searched for tags like the rest of the file.
//
// Record:  4  tag          "GLOB", "CLAS", "NPC_", ...
//          4  size         signed; the player record's is adjusted on rewrite
//          8  header       carried unchanged
//          .. subrecords   one after another
//
// Subrecord: 4 tag, 4 length (signed, data bytes), length bytes of data.
//            Strings are zero-terminated and the zero is counted in the length.
//
// GLOB record, as the loader consumes it:
//          4  "GLOB"
//         12  unk1         size word + 8 header bytes, one opaque block
//          4  tag (not examined)   4 NameLen   NameLen  name (zero-terminated)
//          4  tag (not examined)   4 fnamLen   fnamLen  fnam (opaque)
//          4  tag (not examined)   4 valueLen  valueLen value (32-bit float)
//
// GLOB run: the records lying back to back from the first "GLOB" anywhere in the
// file, up to 1000 of them, ending at the first record whose tag is not "GLOB".
//
// Class probe: when the record right after the run is "CLAS" and its first subrecord
// is "NAME", the first 18 data bytes equal to "NEWCLASSID_CHARGEN" mean the save
// defines the class the game makes during character creation.
//
// Player record: the first "NPC_" after the run whose first subrecord's data starts
// with "player\0". Its prefix, which the editor rewrites, is
//          4  "NPC_"   4 size   8 header
//          then seven subrecords NAME FNAM RNAM CNAM ANAM BNAM KNAM (8 + n bytes each)
// so its length is 72 plus the seven data lengths. Everything after KNAM's data is
// carried unchanged.
//
// The GLOB run always lies before the player record, so rewriting the player prefix
// never moves a GLOB record: GLOB offsets found in the old file stay valid in the new.
#pragma once

#include <cstdint>
#include <string_view>

namespace quellhart {

// The 32-bit word formed by a tag's four characters in file (little-endian) order.
constexpr uint32_t MakeTag(std::string_view text) {
    return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 |
           uint32_t(uint8_t(text[2])) << 16 | uint32_t(uint8_t(text[3])) << 24;
}

inline constexpr uint32_t kTagTES3 = MakeTag("TES3");
inline constexpr uint32_t kTagGLOB = MakeTag("GLOB");
inline constexpr uint32_t kTagCLAS = MakeTag("CLAS");
inline constexpr uint32_t kTagNAME = MakeTag("NAME");
inline constexpr uint32_t kTagNPC_ = MakeTag("NPC_");

// The seven subrecords of the player prefix, in file order.
inline constexpr int kPlayerSubrecordCount = 7;
inline constexpr uint32_t kPlayerSubrecordTags[kPlayerSubrecordCount] = {
    MakeTag("NAME"), MakeTag("FNAM"), MakeTag("RNAM"), MakeTag("CNAM"),
    MakeTag("ANAM"), MakeTag("BNAM"), MakeTag("KNAM")};

inline constexpr int kTagSize = 4;
inline constexpr int kRecordHeaderBytes = 8;       // after the size word
inline constexpr int kGlobUnknownBytes = 12;       // size word + header bytes
inline constexpr int kRecordPreambleBytes = 16;    // tag + size + header
inline constexpr int kSubrecordPreambleBytes = 8;  // tag + length
inline constexpr int kPlayerPrefixFixedBytes =
    kRecordPreambleBytes + kPlayerSubrecordCount * kSubrecordPreambleBytes;  // 72

inline constexpr int kMaxGlobs = 1000;
// The longest name, fnam or player subrecord the document holds. Real ones are a few
// dozen bytes; a longer length is a damaged or hostile file, refused before anything
// of that size is allocated.
inline constexpr int32_t kMaxFieldBytes = 1 << 20;
inline constexpr int kGlobValueBytes = 4;

inline constexpr std::string_view kChargenClassId = "NEWCLASSID_CHARGEN";
// "player" and its terminating zero.
inline constexpr std::string_view kPlayerId{"player\0", 7};

// The loader's search window: a tag that straddles two windows lies whole in the
// second, since each window starts 4 bytes before the end of the one before it.
inline constexpr int kSearchWindowBytes = 1024;
inline constexpr int kSearchWindowStep = kSearchWindowBytes - kTagSize;

}  // namespace quellhart
