#include "resources.h"

extern const unsigned char font_sans_bold[];
extern const std::size_t font_sans_bold_size;
extern const unsigned char font_sans_regular[];
extern const std::size_t font_sans_regular_size;
extern const unsigned char qt_translation_ru[];
extern const std::size_t qt_translation_ru_size;

namespace {

// Written once at start, before any other thread runs; read-only after.
res::ResourceTable g_table;

res::Blob FindBlob(std::span<const res::BlobResource> table, unsigned id) {
    for (const res::BlobResource& r : table)
        if (r.id == id) return r.blob;
    return {};
}

}  // namespace

void AfxRegisterResources(const res::ResourceTable& table) { g_table = table; }

namespace res {

Blob Bitmap(unsigned id) { return FindBlob(g_table.bitmaps, id); }

Blob Icon(unsigned id) { return FindBlob(g_table.icons, id); }

const char* String(unsigned id) {
    for (const StringResource& s : g_table.strings)
        if (s.id == id) return s.text;
    return nullptr;
}

const DialogTemplate* FindDialog(int id) {
    for (const DialogTemplate& d : g_table.dialogs)
        if (d.id == id) return &d;
    return nullptr;
}

Blob FontSansBold() { return Blob{font_sans_bold, font_sans_bold_size}; }
Blob FontSansRegular() { return Blob{font_sans_regular, font_sans_regular_size}; }
Blob ToolkitTranslationRu() { return Blob{qt_translation_ru, qt_translation_ru_size}; }

}  // namespace res
