#include "resources.h"

#include "resource_ids.h"

extern const unsigned char font_sans_bold[];
extern const std::size_t font_sans_bold_size;
extern const unsigned char font_sans_regular[];
extern const std::size_t font_sans_regular_size;
extern const unsigned char qt_translation_ru[];
extern const std::size_t qt_translation_ru_size;
extern const unsigned char icon_128[];
extern const std::size_t icon_128_size;

namespace res {

Blob Bitmap(unsigned id) {
    for (const BitmapEntry* e = kBitmaps; e->data != nullptr; ++e)
        if (e->id == id) return Blob{e->data, e->size};
    return {};
}

Blob Icon(unsigned id) {
    if (id == IDR_MAINFRAME) return Blob{icon_128, icon_128_size};
    return {};
}

Blob FontSansBold() { return Blob{font_sans_bold, font_sans_bold_size}; }
Blob FontSansRegular() { return Blob{font_sans_regular, font_sans_regular_size}; }
Blob ToolkitTranslationRu() { return Blob{qt_translation_ru, qt_translation_ru_size}; }

const char* String(unsigned id) {
    switch (id) {
    case IDS_ABOUTBOX: return "&About...";
    default: return nullptr;
    }
}

}  // namespace res
