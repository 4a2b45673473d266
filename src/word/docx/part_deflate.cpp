#include "word/docx/part_deflate.h"

#include <libdeflate.h>
#if QUELBRIX_HAVE_ISAL
#include <isa-l/igzip_lib.h>
#endif

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "word/docx/docx_error.h"

namespace docx {
namespace {

// libdeflate's compressor for one level: it packs whole buffers, which is all a part is, in half
// the time zlib's stream takes at its fastest levels.
class Deflater {
 public:
  explicit Deflater(int level) : compressor_(libdeflate_alloc_compressor(level)) {
    if (!compressor_) throw DocxError(ErrorCode::kWriteFailed, "ZIP: deflate kann nicht beginnen");
  }

  std::string deflate(const std::string& in) {
    // Packed into a buffer of the worst case, kept for the next part, and copied out at its
    // size: a part shrinks to a tenth, and clearing or keeping the worst case would cost more.
    const std::size_t bound = libdeflate_deflate_compress_bound(compressor_.get(), in.size());
    if (scratch_.size() < bound) scratch_.resize(bound);
    const std::size_t size = libdeflate_deflate_compress(compressor_.get(), in.data(), in.size(),
                                                         scratch_.data(), scratch_.size());
    if (size == 0) throw DocxError(ErrorCode::kWriteFailed, "ZIP: deflate ist fehlgeschlagen");
    return std::string(scratch_.data(), size);
  }

 private:
  struct Free {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
  };
  std::unique_ptr<libdeflate_compressor, Free> compressor_;
  std::vector<char> scratch_;
};

// Packers kept between parts for whichever thread packs next: setting one up (libdeflate's hash
// tables, ISA-L's level buffer) costs more than packing a survey sheet, and the desktop program
// saves each document on a short-lived thread of its own, so keeping them per thread would set
// one up for every document.
template <typename T>
class KeptPackers {
 public:
  template <typename Make, typename Work>
  auto use(Make&& make, Work&& work) {
    std::unique_ptr<T> packer;
    {
      std::lock_guard lock(mutex_);
      if (!free_.empty()) {
        packer = std::move(free_.back());
        free_.pop_back();
      }
    }
    if (!packer) packer = make();
    struct GiveBack {
      KeptPackers& kept;
      std::unique_ptr<T>& packer;
      ~GiveBack() {
        std::lock_guard lock(kept.mutex_);
        kept.free_.push_back(std::move(packer));
      }
    } giveBack{*this, packer};
    return work(*packer);
  }

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<T>> free_;  // at most one for each thread that packed at once
};

// libdeflate's strongest level for templates, its fastest for everything else; each level keeps
// its own packers.
std::string libdeflated(const std::string& data, Packing packing) {
  static KeptPackers<Deflater> fastest, strongest;
  const bool strong = packing == Packing::kSmallest;
  return (strong ? strongest : fastest)
      .use([strong] { return std::make_unique<Deflater>(strong ? 12 : 1); },
           [&](Deflater& d) { return d.deflate(data); });
}

#if QUELBRIX_HAVE_ISAL
// ISA-L's level 1 in one call over the whole part, with its stream state and level buffer (a few
// hundred kilobytes).
class FastDeflater {
 public:
  FastDeflater() : levelBuffer_(ISAL_DEF_LVL1_DEFAULT), stream_(std::make_unique<isal_zstream>()) {}

  // Empty when the part would not fit the output buffer (data that does not shrink); the caller
  // then packs it with libdeflate, whose bound covers every input.
  std::optional<std::string> deflate(const std::string& in) {
    const std::size_t room = in.size() + in.size() / 8 + 1024;
    if (scratch_.size() < room) scratch_.resize(room);
    isal_zstream& s = *stream_;
    isal_deflate_stateless_init(&s);
    s.level = 1;
    s.level_buf = levelBuffer_.data();
    s.level_buf_size = static_cast<std::uint32_t>(levelBuffer_.size());
    s.gzip_flag = IGZIP_DEFLATE;
    s.end_of_stream = 1;
    s.flush = NO_FLUSH;
    s.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(in.data()));
    s.avail_in = static_cast<std::uint32_t>(in.size());
    s.next_out = scratch_.data();
    s.avail_out = static_cast<std::uint32_t>(scratch_.size());
    if (isal_deflate_stateless(&s) != COMP_OK) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(scratch_.data()), s.total_out);
  }

 private:
  std::vector<std::uint8_t> levelBuffer_;
  std::unique_ptr<isal_zstream> stream_;
  std::vector<std::uint8_t> scratch_;
};
#endif

}  // namespace

std::string deflatePart(const std::string& data, Packing packing) {
#if QUELBRIX_HAVE_ISAL
  if (packing == Packing::kFast) {
    static KeptPackers<FastDeflater> kept;
    auto out = kept.use([] { return std::make_unique<FastDeflater>(); },
                        [&](FastDeflater& f) { return f.deflate(data); });
    if (out) return std::move(*out);
  }
#endif
  return libdeflated(data, packing);
}

}  // namespace docx
