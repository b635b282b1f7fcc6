// Resources compiled into the program, looked up by id or name.
#pragma once

#include <cstddef>

namespace res {

struct Blob {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    explicit operator bool() const { return data != nullptr && size > 0; }
};

struct BitmapEntry {
    unsigned id;
    const unsigned char* data;
    std::size_t size;
};

// Every bitmap compiled in, ended by an entry with no data.
extern const BitmapEntry kBitmaps[];

// BMP file bytes of bitmap `id`; empty when there is no such bitmap.
Blob Bitmap(unsigned id);
// PNG bytes of icon `id`; empty when there is none.
Blob Icon(unsigned id);
// The bundled sans faces: bold for the drawing layer's system font, regular
// for dialogs and the GUI font.
Blob FontSansBold();
Blob FontSansRegular();
// The toolkit's Russian translation (a .qm catalogue).
Blob ToolkitTranslationRu();
// String resource `id` (UTF-8); nullptr when there is none.
const char* String(unsigned id);

}  // namespace res
