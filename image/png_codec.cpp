#include "image/png_codec.h"

#include <png.h>
#include <zlib.h>

#include <cstring>

#include "platform/file_io.h"

namespace {

// libpng reports errors by longjmp. Every libpng call runs inside runPngStep, the one function that
// calls setjmp; the steps and callbacks keep only trivially destructible locals, so the jump skips no
// destructor.
using PngStep = void (*)(png_structp, png_infop, void*);

bool runPngStep(png_structp png, png_infop info, PngStep step, void* argument) {
    if (setjmp(png_jmpbuf(png))) return false;
    step(png, info, argument);
    return true;
}

void raiseError(png_structp png, png_const_charp /*message*/) {
    png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

constexpr png_alloc_size_t kMaximumChunkBytes = 8u << 20;
constexpr png_uint_32 kMaximumCachedChunks = 1000;

// ---- decoding -------------------------------------------------------------------------------------

struct MemorySource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->offset) png_error(png, "unexpected end of data");
    std::memcpy(out, source->data + source->offset, length);
    source->offset += length;
}

struct DecodedHeader {
    png_uint_32 width;
    png_uint_32 height;
    int channels;
    int passes;
};

void readHeaderStep(png_structp png, png_infop info, void* argument) {
    auto* header = static_cast<DecodedHeader*>(argument);
    png_read_info(png, info);
    png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_gray_to_rgb(png);
    png_set_strip_16(png);
    header->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header->width = png_get_image_width(png, info);
    header->height = png_get_image_height(png, info);
    header->channels = png_get_channels(png, info);
    if (png_get_bit_depth(png, info) != 8 || (header->channels != 3 && header->channels != 4)) {
        png_error(png, "unexpected pixel format");
    }
}

struct RowTarget {
    Image* image;
    int passes;
};

void readRowsStep(png_structp png, png_infop, void* argument) {
    auto* target = static_cast<RowTarget*>(argument);
    for (int pass = 0; pass < target->passes; ++pass) {
        for (std::int32_t y = 0; y < target->image->height(); ++y)
            png_read_row(png, target->image->row(y), nullptr);
    }
}

struct ReadHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadHandles() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

// ---- encoding -------------------------------------------------------------------------------------

struct EncodedSink {
    OutputFile* file;
    std::vector<std::uint8_t>* memory;
};

void writeToSink(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<EncodedSink*>(png_get_io_ptr(png));
    if (sink->file) {
        sink->file->write(data, length);
        if (sink->file->failed()) png_error(png, "write failed");
        return;
    }
    try {
        sink->memory->insert(sink->memory->end(), data, data + length);
    } catch (...) {
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp) {}

void writeImageStep(png_structp png, png_infop info, void* argument) {
    const auto* image = static_cast<const Image*>(argument);
    const int colourType = image->depth() == 32 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image->width()),
                 static_cast<png_uint_32>(image->height()), 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (std::int32_t y = 0; y < image->height(); ++y) png_write_row(png, image->row(y));
    png_write_end(png, nullptr);
}

struct WriteHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~WriteHandles() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

bool encodeTo(const Image& image, EncodedSink& sink) {
    WriteHandles handles;
    handles.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, raiseError, ignoreWarning);
    if (!handles.png) return false;
    handles.info = png_create_info_struct(handles.png);
    if (!handles.info) return false;
    png_set_write_fn(handles.png, &sink, writeToSink, flushNothing);
    return runPngStep(handles.png, handles.info, writeImageStep, const_cast<Image*>(&image));
}

}  // namespace

std::optional<Image> decodePng(const std::uint8_t* data, std::size_t size) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return std::nullopt;
    ReadHandles handles;
    handles.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, raiseError, ignoreWarning);
    if (!handles.png) return std::nullopt;
    handles.info = png_create_info_struct(handles.png);
    if (!handles.info) return std::nullopt;
    png_set_user_limits(handles.png, static_cast<png_uint_32>(kMaximumImageSide),
                        static_cast<png_uint_32>(kMaximumImageSide));
    png_set_chunk_malloc_max(handles.png, kMaximumChunkBytes);
    png_set_chunk_cache_max(handles.png, kMaximumCachedChunks);
    MemorySource source{data, size, 0};
    png_set_read_fn(handles.png, &source, readFromMemory);

    DecodedHeader header{};
    if (!runPngStep(handles.png, handles.info, readHeaderStep, &header)) return std::nullopt;
    // Every row is written by the decoder before the image is handed out.
    std::optional<Image> image = Image::allocate(header.width, header.height, header.channels * 8, false);
    if (!image) return std::nullopt;
    RowTarget target{&*image, header.passes};
    if (!runPngStep(handles.png, handles.info, readRowsStep, &target)) return std::nullopt;
    return image;
}

std::optional<Image> loadImage(const std::string& path) {
    const std::optional<std::vector<std::uint8_t>> content = readWholeFile(path);
    if (!content) return std::nullopt;
    return decodePng(content->data(), content->size());
}

std::optional<ImageSize> readPngSize(const std::string& path) {
    const FileHandle file = openFile(path, "rb");
    if (!file) return std::nullopt;
    // Signature, chunk length, "IHDR", 13 bytes of header, CRC.
    std::uint8_t start[8 + 4 + 4 + 13 + 4];
    if (std::fread(start, 1, sizeof start, file.get()) != sizeof start || png_sig_cmp(start, 0, 8) != 0)
        return std::nullopt;
    const auto bigEndian = [&](std::size_t at) {
        return static_cast<std::uint32_t>(start[at]) << 24 | static_cast<std::uint32_t>(start[at + 1]) << 16 |
               static_cast<std::uint32_t>(start[at + 2]) << 8 | start[at + 3];
    };
    if (bigEndian(8) != 13 || std::memcmp(start + 12, "IHDR", 4) != 0 ||
        crc32(crc32(0, nullptr, 0), start + 12, 4 + 13) != bigEndian(29))
        return std::nullopt;
    const std::uint32_t width = bigEndian(16), height = bigEndian(20);
    const int bitDepth = start[24], colourType = start[25];
    const bool validDepth =
        colourType == 0   ? bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16
        : colourType == 3 ? bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8
        : colourType == 2 || colourType == 4 || colourType == 6 ? bitDepth == 8 || bitDepth == 16
                                                                : false;
    if (width == 0 || height == 0 || width > kMaximumImageSide || height > kMaximumImageSide || !validDepth ||
        start[26] != 0 || start[27] != 0 || start[28] > 1)
        return std::nullopt;
    return ImageSize{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
}

std::optional<std::vector<std::uint8_t>> encodePng(const Image& image) {
    std::vector<std::uint8_t> memory;
    EncodedSink sink{nullptr, &memory};
    if (!encodeTo(image, sink)) return std::nullopt;
    return memory;
}

bool saveImagePng(const Image& image, const std::string& path) {
    std::optional<OutputFile> file = OutputFile::open(path, OutputFile::Mode::Replace);
    if (!file) return false;
    EncodedSink sink{&*file, nullptr};
    return encodeTo(image, sink) && file->finish();
}
