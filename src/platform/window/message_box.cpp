#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

#include <cerrno>

#include "afxwin.h"
#include "widgets_qt.h"

namespace {

// Width a window needs for its caption to show uncut in a window manager's
// title bar: the caption in a bold face somewhat larger than the dialogs'
// (title fonts usually are), plus room for the frame's icon and three
// buttons. The toolkit's own allowance for the caption is too small for
// title bars with an icon and several buttons.
int CaptionWidth(const QString& caption) {
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(font.pixelSize() > 0 ? font.pixelSize() * 13 / 10 : 14);
    constexpr int kIconAndButtons = 4 * 24;
    return QFontMetrics(font).horizontalAdvance(caption) + kIconAndButtons;
}

}  // namespace

int AfxMessageBox(const char* text, UINT type) {
    // Modal to the window that is active, the one the message is about.
    QPointer<QMessageBox> box = new QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(AfxGetAppName()),
                                                QString::fromUtf8(text), QMessageBox::Ok,
                                                QApplication::activeWindow());
    if ((type & 0xF0) == MB_ICONEXCLAMATION) box->setIcon(QMessageBox::Warning);
    // The box sizes itself to its layout: a spacer across the bottom makes
    // it as wide as its caption needs.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(CaptionWidth(box->windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    korvel::window::ExecModal(box);
    delete box;
    return IDOK;
}

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
