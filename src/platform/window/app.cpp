// The application object and the start and end of the toolkit.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLocale>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

#include <cerrno>
#include <cstring>

#include "afxwin.h"
#include "resources.h"
#include "toolkit.h"
#include "widgets_qt.h"

namespace {
CWinApp* g_app = nullptr;

// The kinds of entries the file dialog names in its "Тип" column. The
// toolkit asks for them under a context its shipped Russian translation
// does not have yet, so they would show in English ("Folder").
class FileKindTextsRu : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (!context || !source || std::strcmp(context, "QAbstractFileIconProvider") != 0) return {};
        static const struct {
            const char* source;
            const char* ru;
        } kTexts[] = {{"Drive", "Диск"},       {"Folder", "Папка"},        {"File Folder", "Папка"},
                      {"Shortcut", "Ярлык"},   {"Alias", "Ярлык"},          {"Unknown", "Неизвестно"},
                      {"File", "Файл"},        {"%1 File", "Файл %1"}};
        for (const auto& t : kTexts)
            if (std::strcmp(source, t.source) == 0) return QString::fromUtf8(t.ru);
        return {};
    }
};

}  // namespace

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
    QCoreApplication::installTranslator(new FileKindTextsRu(QCoreApplication::instance()));
    // The toolkit's own texts that come from locale data rather than from
    // the translation (file kinds, sizes and dates in the file dialog) are
    // Russian too. The program's own numbers never go through the toolkit's
    // locale, so their "." stays.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

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
