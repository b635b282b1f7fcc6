#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QStyleFactory>

#include "afxwin.h"

const char* AfxGetAppName() { return "Эффект Корвеля"; }

int AfxMessageBox(const char* text, UINT type) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(AfxGetAppName()), QString::fromUtf8(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    if ((type & 0xF0) == MB_ICONEXCLAMATION) box.setIcon(QMessageBox::Warning);
    box.exec();
    return IDOK;
}

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

void AfxInitToolkit() {
    // One bundled face for every dialog, so captions fit their dialog-unit
    // rectangles the same way on every machine.
    const res::Blob regular = res::FontSansRegular();
    const res::Blob bold = res::FontSansBold();
    QFontDatabase::addApplicationFontFromData(
        QByteArray::fromRawData(reinterpret_cast<const char*>(regular.data), static_cast<qsizetype>(regular.size)));
    QFontDatabase::addApplicationFontFromData(
        QByteArray::fromRawData(reinterpret_cast<const char*>(bold.data), static_cast<qsizetype>(bold.size)));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
}
