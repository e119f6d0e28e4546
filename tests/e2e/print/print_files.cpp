#include "e2e/print/print_files.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

namespace print_test {

Picture RgbPicture(int width, int height, const std::function<std::uint32_t(int, int)>& fn)
{
    Picture p{width, height, 3, {}};
    p.pixels.reserve(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = fn(x, y);
            p.pixels.push_back(static_cast<std::uint8_t>(c >> 16));
            p.pixels.push_back(static_cast<std::uint8_t>(c >> 8));
            p.pixels.push_back(static_cast<std::uint8_t>(c));
        }
    return p;
}

namespace {

struct PngWriter {
    std::FILE* f = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    explicit PngWriter(const std::string& path)
    {
        f = std::fopen(path.c_str(), "wb");
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        info = png_create_info_struct(png);
        if (!f || !png || !info) throw std::runtime_error("cannot write " + path);
        png_init_io(png, f);
    }
    ~PngWriter()
    {
        png_destroy_write_struct(&png, &info);
        if (f) std::fclose(f);
    }
};

}  // namespace

void WritePng(const std::string& path, const Picture& picture, int bitDepth)
{
    PngWriter w(path);
    static const int kTypes[] = {0, PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                                 PNG_COLOR_TYPE_RGB_ALPHA};
    png_set_IHDR(w.png, w.info, picture.width, picture.height, bitDepth, kTypes[picture.channels],
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(w.png, w.info);
    const std::size_t cbRow = static_cast<std::size_t>(picture.width) * picture.channels;
    std::vector<std::uint8_t> row(cbRow * (bitDepth / 8));
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* src = picture.pixels.data() + y * cbRow;
        if (bitDepth == 16) {
            for (std::size_t i = 0; i < cbRow; ++i) row[2 * i] = row[2 * i + 1] = src[i];
        } else {
            std::copy(src, src + cbRow, row.begin());
        }
        png_write_row(w.png, row.data());
    }
    png_write_end(w.png, nullptr);
}

void WritePalettePng(const std::string& path, const Picture& picture)
{
    std::map<std::uint32_t, int> index;
    std::vector<png_color> palette;
    std::vector<std::uint8_t> indices;
    for (std::size_t i = 0; i < picture.pixels.size(); i += 3) {
        const std::uint32_t c = picture.pixels[i] << 16 | picture.pixels[i + 1] << 8 | picture.pixels[i + 2];
        auto [it, added] = index.emplace(c, static_cast<int>(palette.size()));
        if (added) palette.push_back({picture.pixels[i], picture.pixels[i + 1], picture.pixels[i + 2]});
        indices.push_back(static_cast<std::uint8_t>(it->second));
    }
    if (palette.size() > 256) throw std::runtime_error("too many colours for a palette");
    PngWriter w(path);
    png_set_IHDR(w.png, w.info, picture.width, picture.height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(w.png, w.info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(w.png, w.info);
    for (int y = 0; y < picture.height; ++y) png_write_row(w.png, indices.data() + static_cast<std::size_t>(y) * picture.width);
    png_write_end(w.png, nullptr);
}

void WritePdf(const std::string& path, double widthPt, double heightPt, const std::vector<PdfRect>& rects)
{
    std::vector<std::vector<PdfRect>> pages;
    for (const PdfRect& r : rects) pages.push_back({r});
    WritePdfPages(path, widthPt, heightPt, pages);
}

void WritePdfPages(const std::string& path, double widthPt, double heightPt,
                   const std::vector<std::vector<PdfRect>>& pages)
{
    // Objects: 1 catalog, 2 page tree, then per page a page object and its content.
    std::vector<std::string> objects;
    std::ostringstream kids;
    const std::size_t n = pages.size();
    for (std::size_t i = 0; i < n; ++i) kids << (3 + 2 * i) << " 0 R ";
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [" + kids.str() + "] /Count " + std::to_string(n) + " >>");
    for (std::size_t i = 0; i < n; ++i) {
        std::ostringstream page, content;
        page.precision(10);
        content.precision(10);
        page << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " << widthPt << ' ' << heightPt << "] /Contents "
             << (4 + 2 * i) << " 0 R /Resources << >> >>";
        content << "0 0 0 rg\n";
        for (const PdfRect& r : pages[i]) content << r.x << ' ' << r.y << ' ' << r.w << ' ' << r.h << " re f\n";
        const std::string stream = content.str();
        objects.push_back(page.str());
        objects.push_back("<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream + "endstream");
    }
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t off : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    WriteBytes(path, std::vector<std::uint8_t>(pdf.begin(), pdf.end()));
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace print_test
