#include "miniui/core/KxMiniUIApngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

// Every libpng error leaves through the reader's jump buffer; nothing is printed.
void PNGCBAPI OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PNGCBAPI OnPngWarning(png_structp, png_const_charp) {}

unsigned BigEndian32(const unsigned char* p) {
  return (static_cast<unsigned>(p[0]) << 24) | (static_cast<unsigned>(p[1]) << 16) |
         (static_cast<unsigned>(p[2]) << 8) | p[3];
}

unsigned BigEndian16(const unsigned char* p) { return (static_cast<unsigned>(p[0]) << 8) | p[1]; }

int DelayMilliseconds(unsigned numerator, unsigned denominator) {
  if (denominator == 0) denominator = 100;  // the format's rule for a zero denominator
  return static_cast<int>(numerator * 1000u / denominator);
}

}  // namespace

// One libpng pass over the bytes. Each step that may fail runs behind its own
// jump buffer and keeps no objects with destructors, so a libpng error
// returns false from that step and nothing is skipped.
class KxMiniUIApngDecoder::Reader {
 public:
  struct Info {
    int width = 0;
    int height = 0;
    unsigned frames = 1;
    bool animated = false;
    bool firstHidden = false;
  };
  struct FrameHead {
    int x = 0, y = 0, width = 0, height = 0;
    int dispose = 0;
    int blend = 0;
  };

  explicit Reader(const std::string& bytes) : bytes_(bytes) {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
    if (info_ != nullptr) png_set_read_fn(png_, this, &Reader::ReadBytes);
  }
  ~Reader() { png_destroy_read_struct(&png_, &info_, nullptr); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  bool ReadInfo(Info& info) {
    if (info_ == nullptr) return false;
    if (setjmp(png_jmpbuf(png_))) return false;
    png_read_info(png_, info_);
    const png_byte type = png_get_color_type(png_, info_);
    const bool transparency = png_get_valid(png_, info_, PNG_INFO_tRNS) != 0;
    if (png_get_bit_depth(png_, info_) == 16) png_set_strip_16(png_);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png_);
    if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png_, info_) < 8) png_set_expand_gray_1_2_4_to_8(png_);
    if (transparency) png_set_tRNS_to_alpha(png_);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png_);
    if ((type & PNG_COLOR_MASK_ALPHA) == 0 && !transparency) png_set_filler(png_, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png_);
    png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);
    info.width = static_cast<int>(png_get_image_width(png_, info_));
    info.height = static_cast<int>(png_get_image_height(png_, info_));
    info.animated = png_get_valid(png_, info_, PNG_INFO_acTL) != 0;
    info.frames = info.animated ? png_get_num_frames(png_, info_) : 1;
    info.firstHidden = info.animated && png_get_first_frame_is_hidden(png_, info_) != 0;
    return png_get_rowbytes(png_, info_) == static_cast<size_t>(info.width) * 4;
  }

  bool ReadFrameHead(bool animated, const Info& image, FrameHead& head) {
    if (setjmp(png_jmpbuf(png_))) return false;
    head = FrameHead{0, 0, image.width, image.height, PNG_DISPOSE_OP_NONE, PNG_BLEND_OP_SOURCE};
    if (!animated) return true;
    png_read_frame_head(png_, info_);
    if (!png_get_valid(png_, info_, PNG_INFO_fcTL)) return true;  // the picture before the animation
    png_uint_32 width = 0, height = 0, x = 0, y = 0;
    png_uint_16 delayNumerator = 0, delayDenominator = 0;
    png_byte dispose = 0, blend = 0;
    png_get_next_frame_fcTL(png_, info_, &width, &height, &x, &y, &delayNumerator, &delayDenominator,
                            &dispose, &blend);
    head = FrameHead{static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                     static_cast<int>(height), dispose, blend};
    return true;
  }

  bool ReadRows(png_bytepp rows) {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_read_image(png_, rows);
    return true;
  }

 private:
  static void PNGCBAPI ReadBytes(png_structp png, png_bytep out, size_t length) {
    auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
    if (reader->bytes_.size() - reader->offset_ < length) png_error(png, "truncated");
    std::memcpy(out, reader->bytes_.data() + reader->offset_, length);
    reader->offset_ += length;
  }

  const std::string& bytes_;
  size_t offset_ = 0;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

KxMiniUIApngDecoder::KxMiniUIApngDecoder() = default;
KxMiniUIApngDecoder::~KxMiniUIApngDecoder() = default;

std::vector<int> KxMiniUIApngDecoder::ScanFrameDelays(const std::string& bytes) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<int> delays;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < 8 || std::memcmp(data, kSignature, 8) != 0) return delays;
  size_t position = 8;
  while (bytes.size() - position >= 12) {
    const size_t length = BigEndian32(data + position);
    if (length > bytes.size() - position - 12) break;
    const unsigned char* type = data + position + 4;
    const unsigned char* body = data + position + 8;
    if (std::memcmp(type, "fcTL", 4) == 0 && length >= 26) {
      delays.push_back(DelayMilliseconds(BigEndian16(body + 20), BigEndian16(body + 22)));
    }
    if (std::memcmp(type, "IEND", 4) == 0) break;
    position += 12 + length;
  }
  return delays;
}

bool KxMiniUIApngDecoder::Open(std::string bytes) {
  bytes_ = std::move(bytes);
  reader_.reset();
  Reader reader(bytes_);
  Reader::Info info;
  if (!reader.ReadInfo(info) || info.width < 1 || info.height < 1 || info.frames == 0) return false;
  width_ = info.width;
  height_ = info.height;
  frameCount_ = info.frames;
  animated_ = info.animated;
  firstFrameHidden_ = info.firstHidden;
  delays_ = animated_ ? ScanFrameDelays(bytes_) : std::vector<int>();
  delays_.resize(frameCount_, 0);
  return true;
}

int KxMiniUIApngDecoder::Width() const { return width_; }
int KxMiniUIApngDecoder::Height() const { return height_; }
size_t KxMiniUIApngDecoder::FrameCount() const { return frameCount_; }

int KxMiniUIApngDecoder::FrameDelay(size_t index) const {
  return index < delays_.size() ? delays_[index] : 0;
}

bool KxMiniUIApngDecoder::Restart() {
  reader_ = std::make_unique<Reader>(bytes_);
  Reader::Info info;
  if (!reader_->ReadInfo(info) || info.width != width_ || info.height != height_) return false;
  canvas_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4, 0);
  haveLast_ = false;
  nextFrame_ = 0;
  if (firstFrameHidden_) {
    // The default picture is not part of the animation: read past it.
    std::vector<BYTE> skipped(canvas_.size());
    std::vector<png_bytep> rows(static_cast<size_t>(height_));
    for (int y = 0; y < height_; ++y) rows[static_cast<size_t>(y)] = &skipped[static_cast<size_t>(y) * width_ * 4];
    Reader::FrameHead head;
    if (!reader_->ReadFrameHead(animated_, info, head) || !reader_->ReadRows(rows.data())) return false;
  }
  return true;
}

void KxMiniUIApngDecoder::DisposePrevious() {
  if (!haveLast_) return;
  const size_t stride = static_cast<size_t>(width_) * 4;
  for (int row = 0; row < last_.height; ++row) {
    const size_t offset = static_cast<size_t>(last_.y + row) * stride + static_cast<size_t>(last_.x) * 4;
    const size_t bytes = static_cast<size_t>(last_.width) * 4;
    if (last_.dispose == PNG_DISPOSE_OP_BACKGROUND) {
      std::memset(&canvas_[offset], 0, bytes);
    } else if (last_.dispose == PNG_DISPOSE_OP_PREVIOUS && saved_.size() == canvas_.size()) {
      std::memcpy(&canvas_[offset], &saved_[offset], bytes);
    }
  }
}

void KxMiniUIApngDecoder::Blend(const std::vector<BYTE>& frame, const Region& region, bool over) {
  const size_t stride = static_cast<size_t>(width_) * 4;
  for (int row = 0; row < region.height; ++row) {
    const BYTE* source = &frame[static_cast<size_t>(row) * region.width * 4];
    BYTE* target = &canvas_[static_cast<size_t>(region.y + row) * stride + static_cast<size_t>(region.x) * 4];
    for (int column = 0; column < region.width; ++column, source += 4, target += 4) {
      const unsigned sourceAlpha = source[3];
      if (!over || sourceAlpha == 255) {
        std::memcpy(target, source, 4);
        continue;
      }
      if (sourceAlpha == 0) continue;
      // Straight-alpha "over": the frame's pixel on top of what is there.
      const unsigned targetWeight = target[3] * (255 - sourceAlpha) / 255;
      const unsigned alpha = sourceAlpha + targetWeight;
      for (int channel = 0; channel < 3; ++channel) {
        target[channel] = static_cast<BYTE>((source[channel] * sourceAlpha + target[channel] * targetWeight) / alpha);
      }
      target[3] = static_cast<BYTE>(alpha);
    }
  }
}

bool KxMiniUIApngDecoder::ComposeNext() {
  Reader::Info image;
  image.width = width_;
  image.height = height_;
  Reader::FrameHead head;
  if (!reader_->ReadFrameHead(animated_, image, head)) return false;
  if (head.width < 1 || head.height < 1 || head.x < 0 || head.y < 0 || head.x + head.width > width_ ||
      head.y + head.height > height_) {
    return false;
  }
  std::vector<BYTE> frame(static_cast<size_t>(head.width) * static_cast<size_t>(head.height) * 4);
  std::vector<png_bytep> rows(static_cast<size_t>(head.height));
  for (int y = 0; y < head.height; ++y) rows[static_cast<size_t>(y)] = &frame[static_cast<size_t>(y) * head.width * 4];
  if (!reader_->ReadRows(rows.data())) return false;
  DisposePrevious();
  if (head.dispose == PNG_DISPOSE_OP_PREVIOUS) saved_ = canvas_;
  Region region{head.x, head.y, head.width, head.height, head.dispose};
  // A first frame cannot go back to a previous picture: it clears instead.
  if (region.dispose == PNG_DISPOSE_OP_PREVIOUS && nextFrame_ == 0) region.dispose = PNG_DISPOSE_OP_BACKGROUND;
  Blend(frame, region, head.blend == PNG_BLEND_OP_OVER);
  last_ = region;
  haveLast_ = true;
  ++nextFrame_;
  return true;
}

bool KxMiniUIApngDecoder::DecodeFrame(size_t index, BYTE* pixels) {
  if (index >= frameCount_ || pixels == nullptr) return false;
  // The last composed frame is frame nextFrame_ - 1; anything before it
  // needs a new pass from the start.
  const bool needRestart = !reader_ || index + 1 < nextFrame_;
  if (needRestart && !Restart()) {
    reader_.reset();
    return false;
  }
  while (nextFrame_ <= index) {
    if (!ComposeNext()) {
      reader_.reset();
      return false;
    }
  }
  // The canvas holds straight alpha; drawing wants premultiplied.
  for (size_t i = 0; i < canvas_.size(); i += 4) {
    const unsigned alpha = canvas_[i + 3];
    for (int channel = 0; channel < 3; ++channel) {
      pixels[i + channel] = static_cast<BYTE>(canvas_[i + channel] * alpha / 255);
    }
    pixels[i + 3] = static_cast<BYTE>(alpha);
  }
  return true;
}
