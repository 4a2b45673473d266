#pragma once
// Deflating one part of a package for the zip writer: ISA-L where speed counts, libdeflate where
// size does (see Packing). The packers are set up once and kept between parts for whichever
// thread packs next. Throws docx::DocxError (kWriteFailed) when a packer cannot be set up or
// fails.

#include <string>

#include "word/docx/zip_archive.h"

namespace docx {

// The raw deflate stream of data, as a zip entry holds it; packing is not kStored.
std::string deflatePart(const std::string& data, Packing packing);

}  // namespace docx
