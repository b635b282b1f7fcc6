#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

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

    // The whole interface is Russian, the toolkit's own texts included
    // (standard dialogs, context menus, message-box buttons), whatever the
    // user's locale: its translation is compiled in and always installed.
    const res::Blob ru = res::ToolkitTranslationRu();
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(ru.data, static_cast<int>(ru.size))) QCoreApplication::installTranslator(translator);

    // The program keeps nothing between runs, but the toolkit's own dialogs
    // store their state (the colour dialog its custom colours) in a
    // settings file in the user's configuration folder. Their settings are
    // pointed at a folder that cannot exist, so nothing is ever written.
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}
