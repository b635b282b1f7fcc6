// Message boxes: the standard message, captioned with the program's name.
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>

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
