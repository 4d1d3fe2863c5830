#pragma once

#include <cstddef>
#include <cstdint>

// The layout of a language file, shared by its reader and its writer.
namespace veltrio::texfile {

inline constexpr std::size_t RecordSize = 113;
inline constexpr int ChapterRecords = 30; // records 1..30 describe chapters 0..29
inline constexpr int UnusedSlot = -99;
inline constexpr std::size_t ChapterNameMax = 20;
inline constexpr std::size_t ItemTextMax = 80;
inline constexpr std::size_t ItemLengthOffset = 32;
inline constexpr std::size_t ItemTextOffset = 33;
// The code page of the texts: a 16-bit number in the first chapter record
// (850 when the bytes are 0, as in files written before there was a choice).
inline constexpr std::size_t CodePageOffset = 26;
inline constexpr int DefaultCodePage = 850;
inline constexpr int MaxRecords = 32767; // record numbers are 16-bit signed

// The key stream that scrambles item texts: k1 = KeySeed,
// k(i+1) = ((k(i) * KeyFactor) mod KeyModulus) + 1, so every key is in 1..KeyModulus.
inline constexpr unsigned KeySeed = 83;
inline constexpr unsigned KeyFactor = 29;
inline constexpr unsigned KeyModulus = 241;

inline unsigned NextKey(unsigned k) { return ((k * KeyFactor) % KeyModulus) + 1; }

} // namespace veltrio::texfile
