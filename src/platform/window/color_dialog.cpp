#include "color_dialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QPointer>

#include "standard_ids.h"
#include "widgets_qt.h"

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) : m_pParent(parent) {
    m_cc.Flags = flags;
    m_cc.rgbResult = initial;
}

int CColorDialog::DoModal() {
    // The toolkit's own dialog, not the desktop's: the same on every machine.
    // Its custom-colour part is always shown, which is what CC_FULLOPEN asks.
    // Without an explicit parent the dialog belongs to the active window,
    // and is modal to that window only.
    QWidget* parent = m_pParent ? m_pParent->GetWidget() : QApplication::activeWindow();
    QPointer<QColorDialog> dlg = new QColorDialog(parent);
    dlg->setOption(QColorDialog::DontUseNativeDialog, true);
    dlg->setWindowTitle(QStringLiteral("Цвет"));
    const COLORREF start = (m_cc.Flags & CC_RGBINIT) ? m_cc.rgbResult : RGB(0, 0, 0);
    dlg->setCurrentColor(QColor(GetRValue(start), GetGValue(start), GetBValue(start)));
    const int result = korvel::window::ExecModal(dlg);
    if (!dlg) return IDCANCEL;
    const QColor c = dlg->currentColor();
    delete dlg;
    if (result != QDialog::Accepted) return IDCANCEL;
    m_cc.rgbResult = RGB(c.red(), c.green(), c.blue());
    return IDOK;
}
