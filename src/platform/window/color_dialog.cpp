#include "color_dialog.h"

#include <QApplication>
#include <QColorDialog>

#include "resource_ids.h"

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) : m_pParent(parent) {
    m_cc.Flags = flags;
    m_cc.rgbResult = initial;
}

int CColorDialog::DoModal() {
    // The toolkit's own dialog, not the desktop's: the same on every machine.
    // Its custom-colour part is always shown, which is what CC_FULLOPEN asks.
    QWidget* parent = m_pParent ? m_pParent->GetWidget() : QApplication::activeWindow();
    QColorDialog dlg(parent);
    dlg.setOption(QColorDialog::DontUseNativeDialog, true);
    dlg.setWindowTitle(QStringLiteral("Цвет"));
    const COLORREF start = (m_cc.Flags & CC_RGBINIT) ? m_cc.rgbResult : RGB(0, 0, 0);
    dlg.setCurrentColor(QColor(GetRValue(start), GetGValue(start), GetBValue(start)));
    if (dlg.exec() != QDialog::Accepted) return IDCANCEL;
    const QColor c = dlg.currentColor();
    m_cc.rgbResult = RGB(c.red(), c.green(), c.blue());
    return IDOK;
}
