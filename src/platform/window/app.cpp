// The application object and the start and end of the toolkit.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

#include <cerrno>

#include "afxwin.h"
#include "resources.h"
#include "toolkit.h"
#include "widgets_qt.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

const char* AfxGetAppName() {
    if (g_app && g_app->m_pszAppName) return g_app->m_pszAppName;
    return program_invocation_short_name;
}

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

void AfxTermToolkit() {
    // Windows destroyed last (the main dialog's, at the end of its modal
    // loop) wait for deferred deletion, which no event loop would run any
    // more: their widgets, and the tooltip windows and bridges hanging off
    // them, go now, while the toolkit still runs.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    QApplication toolkit(argc, argv);
    AfxInitToolkit();
    // The program runs in its InitInstance (the main dialog, modal) and
    // answers FALSE when it is done; TRUE asks for the message loop.
    if (app->InitInstance()) QApplication::exec();
    AfxTermToolkit();
    return 0;
}
