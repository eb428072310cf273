#include "platform/ui/graphics/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <functional>

#include "platform/ui/graphics/picture_size_limit.h"

namespace ui {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return. It jumps back to the
// setjmp of the phase that called libjpeg; the phases below hold no C++ objects, so the jump
// skips no destructor. Exceptions are thrown only after a phase has returned.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

void OnFatalError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings are not printed. A file that ends early decodes as grey padding in libjpeg; we
// refuse it instead, so a damaged picture is never shown as if it were whole.
void OnMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) err->truncated = true;
}

void InitErrors(ErrorManager& err) {
    std::memset(&err, 0, sizeof err);
    jpeg_std_error(&err.pub);
    err.pub.error_exit = OnFatalError;
    err.pub.emit_message = OnMessage;
}

[[noreturn]] void Invalid(const std::string& reason) { throw EInvalidGraphic("JPEG image is not valid: " + reason); }

struct DecodeJob {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    bool cmyk;
    bool adobe_inverted;
};

// A libjpeg data source that reads a stream a block at a time, so that a file is never in memory
// whole. libjpeg calls it inside a setjmp frame: nothing may be thrown through it, so a stream
// that fails ends the data there. At the end it does what libjpeg's own file source does: warns
// of the early end (which the decode then refuses) and hands over an end-of-image marker.
struct StreamSource {
    jpeg_source_mgr pub;  // first: libjpeg holds a pointer to it
    TStream* stream;
    std::array<JOCTET, 64 * 1024> buffer;
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    auto* source = reinterpret_cast<StreamSource*>(cinfo->src);
    std::int64_t n = 0;
    try {
        n = source->stream->Read(source->buffer.data(), static_cast<std::int64_t>(source->buffer.size()));
    } catch (...) {
        n = 0;
    }
    if (n <= 0) {
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        n = 2;
    }
    source->pub.next_input_byte = source->buffer.data();
    source->pub.bytes_in_buffer = static_cast<std::size_t>(n);
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    auto* source = reinterpret_cast<StreamSource*>(cinfo->src);
    while (count > static_cast<long>(source->pub.bytes_in_buffer)) {
        count -= static_cast<long>(source->pub.bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    if (count <= 0) return;
    source->pub.next_input_byte += count;
    source->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

std::unique_ptr<StreamSource> MakeStreamSource(TStream& stream) {
    auto source = std::make_unique<StreamSource>();
    std::memset(&source->pub, 0, sizeof source->pub);
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->stream = &stream;
    return source;
}

// The compressed data: a buffer in memory, or a stream (`source` set).
struct JpegInput {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    StreamSource* source = nullptr;

    bool Empty() const { return source ? source->stream->Position() >= source->stream->Size() : size == 0; }
};

bool DecodeHeader(DecodeJob& job, const JpegInput& input, bool four_bytes) {
    if (setjmp(job.err.jump)) return false;
    jpeg_create_decompress(&job.cinfo);
    if (input.source != nullptr) {
        job.cinfo.src = &input.source->pub;
    } else {
        jpeg_mem_src(&job.cinfo, input.data, static_cast<unsigned long>(input.size));
    }
    jpeg_read_header(&job.cinfo, TRUE);
    job.cmyk = job.cinfo.jpeg_color_space == JCS_CMYK || job.cinfo.jpeg_color_space == JCS_YCCK;
    // Files written by the prepress tools of one maker mark themselves with an Adobe segment
    // and store CMYK inverted (0 = full ink).
    job.adobe_inverted = job.cmyk && job.cinfo.saw_Adobe_marker;
    // The decoder writes the fourth byte of each pixel as 255: opaque, as a 32-bit picture of a
    // file without alpha must be.
    job.cinfo.out_color_space = job.cmyk ? JCS_CMYK : (four_bytes ? JCS_EXT_BGRA : JCS_EXT_BGR);
    jpeg_calc_output_dimensions(&job.cinfo);
    return true;
}

std::uint8_t InkToLight(std::uint8_t ink, std::uint8_t black, bool inverted) {
    const unsigned c = inverted ? ink : 255u - ink;
    const unsigned k = inverted ? black : 255u - black;
    return static_cast<std::uint8_t>((c * k + 127u) / 255u);
}

// One row of CMYK samples into blue, green, red (and 255 when there are four bytes a pixel).
void CmykRowToLight(const std::uint8_t* in, std::uint8_t* out, JDIMENSION width, std::size_t out_bytes, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += out_bytes) {
        out[0] = InkToLight(in[2], in[3], inverted);
        out[1] = InkToLight(in[1], in[3], inverted);
        out[2] = InkToLight(in[0], in[3], inverted);
        if (out_bytes == 4) out[3] = 0xFF;
    }
}

// Where the decoded rows go: `start(width, height)` is called once the size is known and gives
// the memory for the first band, the bytes between its rows and the rows a band has (1 up to the
// picture's height: all of it at once); a pixel is `bytes_per_pixel` bytes. `band_done(first,
// count)` follows each band and gives the memory for the next; it may be left out when the band
// is the whole picture.
struct TargetRows {
    std::uint8_t* rows;
    std::size_t stride;
    int band_rows;
};
struct PixelTarget {
    std::size_t bytes_per_pixel;
    std::function<TargetRows(int width, int height)> start;
    std::function<std::uint8_t*(int first, int count)> band_done;
};

// Rows go straight into the caller's pixels, `band` rows at a time; CMYK rows pass through
// `cmyk_row` (one row of width * 4 bytes) to be turned into light. The caller's band_done runs
// between two reads of libjpeg, never inside one. Called within DecodePixels's setjmp; its own
// variables are not in that frame, so a jump cannot leave them half-written there.
bool ReadRows(DecodeJob& job, std::uint8_t* rows, std::size_t stride, JDIMENSION band, const PixelTarget& target,
              std::uint8_t* cmyk_row) {
    JDIMENSION band_first = 0;
    while (job.cinfo.output_scanline < job.cinfo.output_height) {
        std::uint8_t* out = rows + stride * (job.cinfo.output_scanline - band_first);
        JSAMPROW row = job.cmyk ? cmyk_row : out;
        if (jpeg_read_scanlines(&job.cinfo, &row, 1) != 1) return false;
        if (job.cmyk) CmykRowToLight(cmyk_row, out, job.cinfo.output_width, target.bytes_per_pixel, job.adobe_inverted);
        const JDIMENSION done = job.cinfo.output_scanline;
        if (done - band_first == band || done == job.cinfo.output_height) {
            // A caller that takes the picture in one band may leave band_done out; one that asked
            // for smaller bands without it gets std::bad_function_call before rows overrun.
            if (done == job.cinfo.output_height && !target.band_done) break;
            rows = target.band_done(static_cast<int>(band_first), static_cast<int>(done - band_first));
            band_first = done;
        }
    }
    return true;
}

// No C++ object lives in this frame (see OnFatalError).
bool DecodePixels(DecodeJob& job, std::uint8_t* rows, std::size_t stride, JDIMENSION band, const PixelTarget& target,
                  std::uint8_t* cmyk_row) {
    if (setjmp(job.err.jump)) return false;
    jpeg_start_decompress(&job.cinfo);
    if (!ReadRows(job, rows, stride, band, target, cmyk_row)) return false;
    jpeg_finish_decompress(&job.cinfo);
    return true;
}

// A decompressor that is destroyed with it, on every path.
struct DecodeJobOwner {
    std::unique_ptr<DecodeJob> job;
    DecodeJobOwner() : job(std::make_unique<DecodeJob>()) {
        std::memset(&job->cinfo, 0, sizeof job->cinfo);
        InitErrors(job->err);
        job->cinfo.err = &job->err.pub;
    }
    ~DecodeJobOwner() { jpeg_destroy_decompress(&job->cinfo); }
    DecodeJobOwner(const DecodeJobOwner&) = delete;
    DecodeJobOwner& operator=(const DecodeJobOwner&) = delete;
};

void DecodeJpeg(const JpegInput& input, const PixelTarget& target) {
    if (input.Empty()) Invalid("no data");
    DecodeJobOwner owner;
    DecodeJob* job = owner.job.get();
    if (!DecodeHeader(*job, input, target.bytes_per_pixel == 4)) Invalid(job->err.message);
    const JDIMENSION width = job->cinfo.output_width;
    const JDIMENSION height = job->cinfo.output_height;
    if (width == 0 || height == 0) Invalid("empty picture");
    CheckPictureSize("JPEG", width, height);
    std::vector<std::uint8_t> cmyk_row(job->cmyk ? std::size_t{width} * 4 : 0);
    const TargetRows first = target.start(static_cast<int>(width), static_cast<int>(height));
    const auto band = static_cast<JDIMENSION>(std::clamp<std::int64_t>(first.band_rows, 1, height));
    if (!DecodePixels(*job, first.rows, first.stride, band, target, cmyk_row.data())) {
        Invalid(job->err.message[0] ? job->err.message : "corrupt data");
    }
    if (job->err.truncated) Invalid("data is truncated");
}

std::unique_ptr<TBitmap> DecodeJpegBitmap(const std::vector<std::uint8_t>& data) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(TPixelFormat::pf24bit);
    DecodeJpeg(
        JpegInput{data.data(), data.size()},
        PixelTarget{
            3,
            [&](int width, int height) {
                bitmap->SetSize(width, height);
                return TargetRows{bitmap->ScanLine(0), static_cast<std::size_t>(bitmap->BytesPerScanLine()), height};
            },
            {}});
    return bitmap;
}

struct EncodeJob {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    unsigned char* out;
    unsigned long out_size;
};

bool EncodePixels(EncodeJob& job, const std::uint8_t* rows, std::size_t stride, int width, int height, int quality) {
    if (setjmp(job.err.jump)) return false;
    jpeg_create_compress(&job.cinfo);
    jpeg_mem_dest(&job.cinfo, &job.out, &job.out_size);
    job.cinfo.image_width = static_cast<JDIMENSION>(width);
    job.cinfo.image_height = static_cast<JDIMENSION>(height);
    job.cinfo.input_components = 3;
    job.cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&job.cinfo);                // YCbCr with a JFIF marker
    jpeg_set_quality(&job.cinfo, quality, TRUE);  // baseline tables
    jpeg_start_compress(&job.cinfo, TRUE);
    while (job.cinfo.next_scanline < job.cinfo.image_height) {
        auto row = const_cast<JSAMPROW>(rows + stride * job.cinfo.next_scanline);
        jpeg_write_scanlines(&job.cinfo, &row, 1);
    }
    jpeg_finish_compress(&job.cinfo);
    return true;
}

std::vector<std::uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = bitmap.ScanLine(y);
        std::uint8_t* out = rows.data() + stride * static_cast<std::size_t>(y);
        if (bitmap.PixelFormat() == TPixelFormat::pf24bit) {
            std::memcpy(out, in, stride);
        } else {
            for (int x = 0; x < width; ++x) std::memcpy(out + 3 * x, in + 4 * x, 3);
        }
    }
    auto job = std::make_unique<EncodeJob>();
    std::memset(&job->cinfo, 0, sizeof job->cinfo);
    InitErrors(job->err);
    job->cinfo.err = &job->err.pub;
    job->out = nullptr;
    job->out_size = 0;
    struct Destroy {
        EncodeJob& job;
        ~Destroy() {
            jpeg_destroy_compress(&job.cinfo);
            std::free(job.out);
        }
    } destroy{*job};
    if (!EncodePixels(*job, rows.data(), stride, width, height, quality)) {
        throw EInvalidGraphic(std::string("Cannot compress JPEG image: ") + job->err.message);
    }
    return std::vector<std::uint8_t>(job->out, job->out + job->out_size);
}

// 32-bit pixels, rows without gaps: the whole picture at once, or in the bands the receiver
// picks. The targets refer to the callers' functions, which outlive the decode.
PixelTarget Pixels32Target(const std::function<std::uint8_t*(int width, int height)>& pixels_for) {
    return PixelTarget{4,
                       [&pixels_for](int width, int height) {
                           return TargetRows{pixels_for(width, height), static_cast<std::size_t>(width) * 4, height};
                       },
                       {}};
}

PixelTarget Bands32Target(const TPixelBandStart& start, const TPixelBandDone& band_done) {
    return PixelTarget{4,
                       [&start](int width, int height) {
                           const TPixelBand band = start(width, height);
                           return TargetRows{band.rows, static_cast<std::size_t>(width) * 4, band.band_rows};
                       },
                       band_done};
}

TPixelBandStart FixedBands(int band_rows, const std::function<std::uint8_t*(int width, int height)>& start) {
    return [&start, band_rows](int width, int height) { return TPixelBand{start(width, height), band_rows}; };
}

}  // namespace

void DecodeJpegPixels32(const std::uint8_t* data, std::size_t size,
                        const std::function<std::uint8_t*(int width, int height)>& pixels_for) {
    DecodeJpeg(JpegInput{data, size}, Pixels32Target(pixels_for));
}

void DecodeJpegPixels32(TStream& stream, const std::function<std::uint8_t*(int width, int height)>& pixels_for) {
    const std::unique_ptr<StreamSource> source = MakeStreamSource(stream);
    DecodeJpeg(JpegInput{nullptr, 0, source.get()}, Pixels32Target(pixels_for));
}

void DecodeJpegBands32(const std::uint8_t* data, std::size_t size, int band_rows,
                       const std::function<std::uint8_t*(int width, int height)>& start,
                       const std::function<std::uint8_t*(int first, int count)>& band_done) {
    DecodeJpeg(JpegInput{data, size}, Bands32Target(FixedBands(band_rows, start), band_done));
}

void DecodeJpegBands32(TStream& stream, int band_rows, const std::function<std::uint8_t*(int width, int height)>& start,
                       const std::function<std::uint8_t*(int first, int count)>& band_done) {
    DecodeJpegBands32(stream, FixedBands(band_rows, start), band_done);
}

void DecodeJpegBands32(TStream& stream, const TPixelBandStart& start, const TPixelBandDone& band_done) {
    const std::unique_ptr<StreamSource> source = MakeStreamSource(stream);
    DecodeJpeg(JpegInput{nullptr, 0, source.get()}, Bands32Target(start, band_done));
}

TJpegHeader ReadJpegHeader(TStream& stream) {
    const std::unique_ptr<StreamSource> source = MakeStreamSource(stream);
    const JpegInput input{nullptr, 0, source.get()};
    if (input.Empty()) Invalid("no data");
    DecodeJobOwner owner;
    DecodeJob& job = *owner.job;
    if (!DecodeHeader(job, input, true)) Invalid(job.err.message);
    TJpegHeader header;
    header.width = static_cast<int>(job.cinfo.output_width);
    header.height = static_cast<int>(job.cinfo.output_height);
    CheckPictureSize("JPEG", job.cinfo.output_width, job.cinfo.output_height);
    // A file of several scans is decoded from coefficients kept for the whole picture: 64
    // values of 2 bytes for every block of every component.
    if (jpeg_has_multiple_scans(&job.cinfo)) {
        for (int c = 0; c < job.cinfo.num_components; ++c) {
            const jpeg_component_info& component = job.cinfo.comp_info[c];
            header.decoder_bytes +=
                std::uint64_t{component.width_in_blocks} * component.height_in_blocks * 64 * sizeof(JCOEF);
        }
    }
    // Its working rows: a few rows of blocks of every component, and a row to hand over.
    header.decoder_bytes += std::uint64_t{job.cinfo.output_width} * 4 * 16 *
                            static_cast<std::uint64_t>(std::max(job.cinfo.num_components, 1));
    return header;
}

TJPEGImage::TJPEGImage() : bitmap_(std::make_unique<TBitmap>()) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(const TPersistent* source) {
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(source)) {
        if (jpeg == this) return;
        bitmap_->Assign(jpeg->bitmap_.get());
        data_ = jpeg->data_;
        data_from_pixels_ = jpeg->data_from_pixels_;
        quality_ = jpeg->quality_;
        Changed();
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        auto pixels = std::make_unique<TBitmap>();
        pixels->Assign(bitmap);
        pixels->SetPixelFormat(TPixelFormat::pf24bit);
        pixels->SetTransparent(false);
        bitmap_ = std::move(pixels);
        data_.clear();
        data_from_pixels_ = true;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TJPEGImage::AssignTo(TPersistent* dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        bitmap->Assign(bitmap_.get());
        return;
    }
    TGraphic::AssignTo(dest);
}

int TJPEGImage::Width() const { return bitmap_->Width(); }
int TJPEGImage::Height() const { return bitmap_->Height(); }

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

bool TJPEGImage::Empty() const { return bitmap_->Empty(); }

void TJPEGImage::SetCompressionQuality(int quality) {
    quality = std::clamp(quality, 1, 100);
    if (quality == quality_) return;
    quality_ = quality;
    if (data_from_pixels_) data_.clear();
}

void TJPEGImage::Compress() {
    if (data_.empty() && !Empty()) data_ = EncodeJpeg(*bitmap_, quality_);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    std::vector<std::uint8_t> data = ReadRemaining(stream);
    std::unique_ptr<TBitmap> pixels = DecodeJpegBitmap(data);
    bitmap_ = std::move(pixels);
    data_ = std::move(data);
    data_from_pixels_ = false;
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream) const {
    if (Empty()) return;
    if (data_.empty()) data_ = EncodeJpeg(*bitmap_, quality_);
    stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) const { bitmap_->Draw(canvas, rect); }

}  // namespace ui
