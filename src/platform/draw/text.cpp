// Text for the drawing layer: the bundled sans faces rendered by FreeType,
// one bit per pixel with hinting, so the same text gives the same pixels on
// every machine.
//   system font  the bold face at 13 pixels in a fixed 16-pixel cell
//                (ascent 13, descent 3: room for accented capitals);
//   GUI font     the regular face at 11 pixels in the face's own cell
//                (ascent 10, descent 3), which dialog base units of 6 x 13 fit.
// The average character width is the rounded mean advance of a-z.
// FreeType objects are not thread-safe and worker threads draw text too:
// one mutex guards the library, both faces and the glyph cache.
#include "text_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "resources.h"

namespace textraster {
namespace {

constexpr int kSystemPixelSize = 13;
constexpr int kGuiPixelSize = 11;

// One rendered glyph: its set pixels relative to the pen position on the
// baseline (x right, y down), and the advance to the next pen position.
struct Glyph {
    int advance = 0;
    std::vector<CPoint> ink;
};

struct FaceState {
    FT_Face face = nullptr;
    FontMetrics metrics;
    std::unordered_map<char32_t, Glyph> glyphs;
};

class Engine {
public:
    Engine() {
        if (FT_Init_FreeType(&m_lib) != 0) {
            m_lib = nullptr;
            return;
        }
        Open(m_faces[0], res::FontSansBold(), kSystemPixelSize);
        Open(m_faces[1], res::FontSansRegular(), kGuiPixelSize);
        // The system font's cell is fixed whatever the face's rounding.
        m_faces[0].metrics.height = 16;
        m_faces[0].metrics.ascent = 13;
        m_faces[0].metrics.descent = 3;
    }

    std::mutex& Mutex() { return m_mutex; }
    FaceState& State(CFont::Face face) { return m_faces[face == CFont::Face::System ? 0 : 1]; }

    // The glyph of `cp`, rendered on first use. Caller holds the mutex.
    const Glyph& GlyphOf(FaceState& fs, char32_t cp) {
        auto it = fs.glyphs.find(cp);
        if (it != fs.glyphs.end()) return it->second;
        Glyph g = Render(fs.face, cp);
        return fs.glyphs.emplace(cp, std::move(g)).first->second;
    }

private:
    void Open(FaceState& fs, res::Blob blob, int pixelSize) {
        if (!blob || m_lib == nullptr) return;
        FT_Face face = nullptr;
        if (FT_New_Memory_Face(m_lib, blob.data, static_cast<FT_Long>(blob.size), 0, &face) != 0)
            return;
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
            FT_Done_Face(face);
            return;
        }
        fs.face = face;
        // Hinted size metrics are whole pixels in 26.6 fixed point.
        const FT_Size_Metrics& sm = face->size->metrics;
        fs.metrics.ascent = static_cast<int>((sm.ascender + 63) >> 6);
        fs.metrics.descent = static_cast<int>((-sm.descender + 63) >> 6);
        fs.metrics.height = fs.metrics.ascent + fs.metrics.descent;
        int lower = 0;
        for (char32_t c = U'a'; c <= U'z'; ++c) lower += GlyphOf(fs, c).advance;
        fs.metrics.aveCharWidth = (lower + 13) / 26;
        int widest = 0;
        for (char32_t c = 0x20; c < 0x7F; ++c) widest = std::max(widest, GlyphOf(fs, c).advance);
        fs.metrics.maxCharWidth = widest;
    }

    static Glyph Render(FT_Face face, char32_t cp) {
        Glyph g;
        if (face == nullptr) return g;
        const FT_UInt index = FT_Get_Char_Index(face, cp);
        if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0) return g;
        FT_GlyphSlot slot = face->glyph;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return g;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_MONO) return g;
        const int pitch = std::abs(bm.pitch);
        for (unsigned r = 0; r < bm.rows; ++r) {
            // A negative pitch stores the rows bottom-up.
            const unsigned char* row =
                bm.buffer + static_cast<std::size_t>(bm.pitch >= 0 ? r : bm.rows - 1 - r) * pitch;
            for (unsigned c = 0; c < bm.width; ++c) {
                if (row[c >> 3] & (0x80 >> (c & 7)))
                    g.ink.push_back(CPoint(slot->bitmap_left + static_cast<int>(c),
                                           static_cast<int>(r) - slot->bitmap_top));
            }
        }
        return g;
    }

    std::mutex m_mutex;
    FT_Library m_lib = nullptr;
    FaceState m_faces[2];
};

// Created on first use and never destroyed, so a worker thread still
// drawing while the program exits never meets a dead engine.
Engine& TheEngine() {
    static Engine* engine = new Engine();
    return *engine;
}

}  // namespace

std::vector<char32_t> DecodeUtf8(const std::string& text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        int len = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if (b < 0x80) { len = 1; cp = b; }
        else if ((b & 0xE0) == 0xC0) { len = 2; cp = b & 0x1F; min = 0x80; }
        else if ((b & 0xF0) == 0xE0) { len = 3; cp = b & 0x0F; min = 0x800; }
        else if ((b & 0xF8) == 0xF0) { len = 4; cp = b & 0x07; min = 0x10000; }
        bool ok = len > 0 && i + len <= n;
        for (int k = 1; ok && k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed.
        if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
        if (ok) {
            out.push_back(cp);
            i += static_cast<std::size_t>(len);
        } else {
            // Skip the lead byte only, so the next sequence resynchronises.
            out.push_back(0xFFFD);
            ++i;
        }
    }
    return out;
}

FontMetrics Metrics(CFont::Face face) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> lock(e.Mutex());
    return e.State(face).metrics;
}

Layout LayOut(CFont::Face face, const std::string& text) {
    const std::vector<char32_t> cps = DecodeUtf8(text);
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> lock(e.Mutex());
    FaceState& fs = e.State(face);
    Layout out;
    const int baseline = fs.metrics.ascent;
    for (char32_t cp : cps) {
        const Glyph& g = e.GlyphOf(fs, cp);
        for (const CPoint& p : g.ink) out.ink.push_back(CPoint(out.advance + p.x, baseline + p.y));
        out.advance += g.advance;
    }
    return out;
}

int Advance(CFont::Face face, const std::string& text) {
    const std::vector<char32_t> cps = DecodeUtf8(text);
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> lock(e.Mutex());
    FaceState& fs = e.State(face);
    int advance = 0;
    for (char32_t cp : cps) advance += e.GlyphOf(fs, cp).advance;
    return advance;
}

}  // namespace textraster
