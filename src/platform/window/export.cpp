#include "export.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace {

// Why a file could not be saved, as the user can act on it.
const char* Reason(QFileDevice::FileError error) {
    switch (error) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return "Нет доступа к папке или к файлу для записи.";
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return "Не удалось записать данные: возможно, на диске нет места.";
    case QFileDevice::RenameError:
        return "Не удалось заменить файл записанным: возможно, он исчез во время записи или занят.";
    default:
        return "Запись не удалась.";
    }
}

void Describe(const CString& path, QFileDevice::FileError error, CString* out) {
    if (!out) return;
    out->Format("Не удалось сохранить файл «%s».\n%s", static_cast<const char*>(path), Reason(error));
}

}  // namespace

BOOL AfxSetClipboardText(const CString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return FALSE;
    clipboard->setText(QString::fromUtf8(text.str().c_str()));
    return TRUE;
}

BOOL AfxSaveFile(const CString& path, const std::string& bytes, CString* error) {
    QSaveFile file(QString::fromUtf8(path.str().c_str()));
    // Never write into the file in place: a failure must leave it as it was.
    file.setDirectWriteFallback(false);
    // A failed step drops the temporary file and says why; `usual` is the
    // reason when the file gives none.
    const auto fail = [&](QFileDevice::FileError usual) {
        const QFileDevice::FileError e = file.error();
        file.cancelWriting();
        Describe(path, e == QFileDevice::NoError ? usual : e, error);
        return FALSE;
    };
    if (!file.open(QIODevice::WriteOnly)) return fail(QFileDevice::OpenError);
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) return fail(QFileDevice::WriteError);
    if (!file.commit()) return fail(QFileDevice::WriteError);
    return TRUE;
}

BOOL AfxSavePng(const CString& path, const Surface& pixels, CString* error) {
    // The surface's words are 0xFFRRGGBB, which an RGB32 image reads as is.
    const QImage image(reinterpret_cast<const uchar*>(pixels.Bits()), pixels.Width(), pixels.Height(),
                       pixels.BytesPerLine(), QImage::Format_RGB32);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        Describe(path, QFileDevice::UnspecifiedError, error);
        return FALSE;
    }
    return AfxSaveFile(path, std::string(png.constData(), static_cast<std::size_t>(png.size())), error);
}
