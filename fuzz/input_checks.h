// The per-input bodies of the fuzz targets, as plain functions: the libFuzzer mains call them
// for every generated input, and tests/fuzz replays the kept inputs through them in the
// ordinary build. Each runs one input through the tool in the process's fuzz workspace and
// reports what the user would have been shown and any fault beyond that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexfuzz {

struct TInputOutcome {
  std::string message; // the failure's message; "" when the input went through
  std::string member;  // the member being processed at the failure, "" for none
  // A fault beyond a clear message: a file outside the output folder, an unexpected failure,
  // a file missing, extra or with the wrong bytes. "" when there is none.
  std::string problem;
};

// Unpacks `data` as an archive into an empty output folder, with a valid 8-bit template in
// place. Every member the directory describes is checked on disk against its bytes in the
// archive (or against the bitmap file it must become), up to the first member that must fail;
// that member and its message must be the ones the tool reports.
TInputOutcome CheckUnpackInput(const std::uint8_t* data, std::size_t size);

// Takes `data` as the palette template and converts two small pictures with it, the first of
// (last byte & 15) × (last byte >> 4) pixels, the second of its size turned round. Either the
// template is refused, with one of the template failures and before any file exists, or both
// files are 8-bit bitmaps holding exactly the pictures and the template's colours.
TInputOutcome CheckTemplateInput(const std::uint8_t* data, std::size_t size);

// Takes `data` as a u16 length, a BASE archive of that length and a bitmap that stands as
// overmain.bmp in the folder, and updates BASE from the folder (see update_input.cpp).
TInputOutcome CheckUpdateInput(const std::uint8_t* data, std::size_t size);

// Decodes `data` as a palette member inside larger bytes with each way of taking its values
// (see palette_input.cpp). The message is the guessing read's refusal, without the sentence of
// formats taken that ends every one.
TInputOutcome CheckPaletteInput(const std::uint8_t* data, std::size_t size);

} // namespace vexfuzz
