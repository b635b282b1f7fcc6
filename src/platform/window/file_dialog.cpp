#include "file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QPointer>
#include <QStandardPaths>
#include <QTreeView>

#include <algorithm>

#include "standard_ids.h"
#include "widgets_qt.h"
#include "wnd.h"

namespace {

QString Q(const CString& s) { return QString::fromUtf8(s.str().c_str()); }

// "Описание (*.csv)|*.csv|Другое (*.x)|*.x||" as the toolkit's name filters:
// the descriptions, which carry their patterns.
QStringList NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty()) out << parts[i];
    return out;
}

}  // namespace

CFileDialog::CFileDialog(BOOL /*openFileDialog*/, const char* defExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_defExt(defExt), m_fileName(fileName), m_filter(filter), m_pParent(parent) {
    m_ofn.Flags = flags;
}

int CFileDialog::DoModal() {
    QWidget* parent = m_pParent ? m_pParent->GetWidget() : QApplication::activeWindow();
    QPointer<QFileDialog> dlg = new QFileDialog(parent);
    // The toolkit's own dialog, not the desktop's: in the program's language
    // and the same on every machine.
    dlg->setOption(QFileDialog::DontUseNativeDialog, true);
    dlg->setAcceptMode(QFileDialog::AcceptSave);
    dlg->setFileMode(QFileDialog::AnyFile);
    dlg->setOption(QFileDialog::DontConfirmOverwrite, !(m_ofn.Flags & OFN_OVERWRITEPROMPT));
    if (m_ofn.lpstrTitle) dlg->setWindowTitle(QString::fromUtf8(m_ofn.lpstrTitle));
    if (!m_defExt.IsEmpty()) dlg->setDefaultSuffix(Q(m_defExt));
    const QStringList filters = NameFilters(Q(m_filter));
    if (!filters.isEmpty()) dlg->setNameFilters(filters);

    const QFileInfo proposed(Q(m_fileName));
    QString folder = proposed.path();
    if (Q(m_fileName).indexOf(QLatin1Char('/')) < 0) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    }
    dlg->setDirectory(folder);
    // Wide enough that the kind and date columns of the detail view show
    // whole: "Документ CSV", "08.12.2026 12:26".
    dlg->resize(std::max(dlg->width(), 800), std::max(dlg->height(), 440));
    if (auto* view = dlg->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        view->header()->resizeSection(2, 150);
        view->header()->resizeSection(3, 130);
    }
    if (!proposed.fileName().isEmpty()) dlg->selectFile(proposed.fileName());

    const int result = korvel::window::ExecModal(dlg);
    if (!dlg) return IDCANCEL;
    const QStringList chosen = dlg->selectedFiles();
    delete dlg;
    if (result != QDialog::Accepted || chosen.isEmpty()) return IDCANCEL;
    m_path = CString(chosen.front().toUtf8().toStdString());
    return IDOK;
}
