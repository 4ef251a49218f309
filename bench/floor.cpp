// The floor: the benchmark's steps done with libpng, zlib and libarchive directly, with the same PNG
// settings as Ravelin and nothing around them. Each mode prints the milliseconds of its work.
//
//   ravelin_floor extract ATLAS.png|ATLAS.dds ATLAS.xml OUTDIR
//                                                         decode the atlas once (a DDS with Ravelin's own
//                                                         decoder), encode every icon
//   ravelin_floor build ATLAS.xml DEFAULT_DIR NEW_DIR OUT.png
//                                                         decode every icon twice, blend, encode the canvas
//   ravelin_floor unpack GUI.pkg... OUTDIR                 read the atlas entries into OUTDIR, each from the
//                                                         first package that holds it

#include <archive.h>
#include <archive_entry.h>
#include <png.h>

#include <sys/stat.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image/dds_codec.h"

namespace {

struct Pixels {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int channels = 4;
    std::vector<png_byte> data;
};

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool decode(const std::string& path, Pixels& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const std::vector<char> file = readFile(path);
    if (file.empty() || !png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
    image.format = PNG_FORMAT_RGBA;
    out.width = image.width;
    out.height = image.height;
    out.data.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, out.data.data(), 0, nullptr) != 0;
}

void encode(const std::string& path, const png_byte* first, std::size_t stride, png_uint_32 width,
            png_uint_32 height) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (png_uint_32 y = 0; y < height; ++y) png_write_row(png, first + y * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

struct Rect {
    std::string name;
    long x = 0, y = 0, width = 0, height = 0;
};

std::string between(const std::string& line, const std::string& open, const std::string& close) {
    const auto a = line.find(open);
    const auto b = line.find(close);
    if (a == std::string::npos || b == std::string::npos) return {};
    std::string value = line.substr(a + open.size(), b - a - open.size());
    const auto first = value.find_first_not_of(' ');
    const auto last = value.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
}

std::vector<Rect> readRects(const std::string& xmlPath) {
    std::vector<Rect> rects;
    std::istringstream in(std::string(readFile(xmlPath).data(), readFile(xmlPath).size()));
    Rect current;
    for (std::string line; std::getline(in, line);) {
        if (line.find("<name>") != std::string::npos) current.name = between(line, "<name>", "</name>");
        if (line.find("<x>") != std::string::npos) current.x = std::stol(between(line, "<x>", "</x>"));
        if (line.find("<y>") != std::string::npos) current.y = std::stol(between(line, "<y>", "</y>"));
        if (line.find("<width>") != std::string::npos)
            current.width = std::stol(between(line, "<width>", "</width>"));
        if (line.find("<height>") != std::string::npos) {
            current.height = std::stol(between(line, "<height>", "</height>"));
            rects.push_back(current);
        }
    }
    return rects;
}

int extract(const std::string& atlasPath, const std::string& xmlPath, const std::string& outDir) {
    const std::vector<Rect> rects = readRects(xmlPath);
    Pixels atlas;
    if (atlasPath.ends_with(".dds")) {
        DdsDecoding decoding = loadDds(atlasPath);
        if (!decoding.image) return 1;
        atlas.width = static_cast<png_uint_32>(decoding.image->width());
        atlas.height = static_cast<png_uint_32>(decoding.image->height());
        atlas.data.assign(decoding.image->row(0),
                          decoding.image->row(0) + decoding.image->stride() * atlas.height);
    } else if (!decode(atlasPath, atlas)) {
        return 1;
    }
    const std::size_t stride = atlas.width * 4u;
    for (const Rect& r : rects) {
        if (r.x < 0 || r.y < 0 || r.width <= 0 || r.height <= 0 || r.x + r.width > long(atlas.width) ||
            r.y + r.height > long(atlas.height)) {
            continue;
        }
        encode(outDir + "/" + r.name + ".png", atlas.data.data() + r.y * stride + r.x * 4, stride,
               png_uint_32(r.width), png_uint_32(r.height));
    }
    return 0;
}

void blend(std::vector<png_byte>& canvas, const Pixels& icon, long left, long top) {
    for (long y = 0; y < long(icon.height); ++y) {
        if (top + y < 0 || top + y >= 2048) continue;
        for (long x = 0; x < long(icon.width); ++x) {
            if (left + x < 0 || left + x >= 2048) continue;
            const png_byte* s = &icon.data[(y * icon.width + x) * 4];
            png_byte* d = &canvas[((top + y) * 2048 + left + x) * 4];
            const int sa = s[3], da = d[3];
            if (sa == 0) continue;
            if (da == 0 || sa == 255) {
                std::memcpy(d, s, 4);
                continue;
            }
            const int sw = sa * 255, dw = da * (255 - sa), total = sw + dw;
            for (int c = 0; c < 3; ++c) d[c] = png_byte((s[c] * sw + d[c] * dw) / total);
            d[3] = png_byte(total / 255);
        }
    }
}

int build(const std::string& xmlPath, const std::string& defaultDir, const std::string& newDir,
          const std::string& out) {
    std::vector<png_byte> canvas(2048u * 2048u * 4u, 0);
    const std::vector<Rect> rects = readRects(xmlPath);
    const auto pathOf = [&](const Rect& r) {
        struct stat info {};
        const std::string replacement = newDir + "/" + r.name + ".png";
        return stat(replacement.c_str(), &info) == 0 && info.st_size > 0 ? replacement
                                                                         : defaultDir + "/" + r.name + ".png";
    };
    Pixels icon;
    for (const Rect& r : rects) decode(pathOf(r), icon);  // measuring
    for (const Rect& r : rects) {
        if (decode(pathOf(r), icon)) blend(canvas, icon, r.x, r.y);
    }
    encode(out, canvas.data(), 2048u * 4u, 2048, 2048);
    return 0;
}

void unpackOne(const std::string& package, const std::string& outDir, const std::vector<std::string>& wanted,
               std::vector<std::string>& taken) {
    archive* reader = archive_read_new();
    archive_read_support_format_zip_streamable(reader);
    archive_read_support_format_zip_seekable(reader);
    if (archive_read_open_filename(reader, package.c_str(), 10240) != ARCHIVE_OK) {
        archive_read_free(reader);
        return;
    }
    const std::vector<std::string> before = taken;
    std::vector<char> buffer(2u << 20);
    archive_entry* entry = nullptr;
    while (archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
        const std::string name = archive_entry_pathname(entry);
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() ||
            std::find(before.begin(), before.end(), name) != before.end()) {
            continue;
        }
        taken.push_back(name);
        std::FILE* file = std::fopen((outDir + "/" + name.substr(name.rfind('/') + 1)).c_str(), "wb");
        for (la_ssize_t n; (n = archive_read_data(reader, buffer.data(), buffer.size())) > 0;) {
            std::fwrite(buffer.data(), 1, std::size_t(n), file);
        }
        std::fclose(file);
    }
    archive_read_free(reader);
}

int unpack(const std::vector<std::string>& packages, const std::string& outDir) {
    const std::vector<std::string> wanted = {
        "gui/flash/atlases/battleAtlas.png",        "gui/flash/atlases/battleAtlas.xml",
        "gui/flash/atlases/vehicleMarkerAtlas.png", "gui/flash/atlases/vehicleMarkerAtlas.xml",
        "gui/flash/atlases/battleAtlas.dds",        "gui/flash/atlases/vehicleMarkerAtlas.dds"};
    std::vector<std::string> taken;
    for (const std::string& package : packages) unpackOne(package, outDir, wanted, taken);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto start = std::chrono::steady_clock::now();
    int result = 2;
    if (args.size() == 4 && args[0] == "extract") {
        result = extract(args[1], args[2], args[3]);
    } else if (args.size() == 5 && args[0] == "build") {
        result = build(args[1], args[2], args[3], args[4]);
    } else if (args.size() >= 3 && args[0] == "unpack") {
        result = unpack(std::vector<std::string>(args.begin() + 1, args.end() - 1), args.back());
    } else {
        std::fprintf(stderr, "usage: ravelin_floor extract|build|unpack ...\n");
        return 2;
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("%lld\n", static_cast<long long>(elapsed.count()));
    return result;
}
