// Renders the main dialog after the default flight to OUTDIR/flight.png and
// the Diagrams window after "Расчёт" to OUTDIR/diagrams.png and the About box
// to OUTDIR/about.png, offscreen, for
// people to look at and for the README.
//   korvel-screenshot OUTDIR
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "demo_app.h"
#include "diagram_dlg.h"
#include "flight_dlg.h"
#include "resource_ids.h"
#include "toolkit.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvel-screenshot OUTDIR\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    AfxInitToolkit();
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);

    CDemoApp theApp;
    CFlightDlg dlg;
    theApp.m_pMainWnd = &dlg;
    bool ok = false;
    QTimer::singleShot(0, [&] {
        // The shortest delay, so the default flight takes a moment only.
        auto* delay = qobject_cast<QLineEdit*>(dlg.GetDlgItem(IDC_DELAY)->GetWidget());
        delay->setText(QStringLiteral("10"));
        QWidget* start = dlg.GetDlgItem(IDOK)->GetWidget();
        QTest::mouseClick(start, Qt::LeftButton);
        QElapsedTimer t;
        t.start();
        while ((dlg.FlightRunning() || !start->isEnabled()) && t.elapsed() < 60000) QTest::qWait(10);
        QTest::qWait(50);
        ok = dlg.GetWidget()->grab().save(outDir + QStringLiteral("/flight.png"));
        QTest::mouseClick(dlg.GetDlgItem(IDC_DIAGRAMS)->GetWidget(), Qt::LeftButton);
        if (g_pDiagramDlg && g_pDiagramDlg->GetWidget()) {
            QTest::mouseClick(g_pDiagramDlg->GetDlgItem(IDC_CALCULATE)->GetWidget(), Qt::LeftButton);
            QTest::qWait(50);
            ok = ok && g_pDiagramDlg->GetWidget()->grab().save(outDir + QStringLiteral("/diagrams.png"));
        } else {
            ok = false;
        }
        // The About box, from the window menu's command.
        QTimer::singleShot(50, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->windowTitle() == QStringLiteral("О программе...")) {
                    ok = ok && w->grab().save(outDir + QStringLiteral("/about.png"));
                    qobject_cast<QDialog*>(w)->done(IDOK);
                }
        });
        static_cast<CWnd&>(dlg).OnSysCommand(IDM_ABOUTBOX, 0);
        dlg.EndDialog(IDCANCEL);
    });
    dlg.DoModal();
    AfxTermToolkit();
    if (!ok) {
        std::fprintf(stderr, "korvel-screenshot: could not write the pictures to %s\n", argv[1]);
        return 1;
    }
    std::printf("%s/flight.png\n%s/diagrams.png\n%s/about.png\n", argv[1], argv[1], argv[1]);
    return 0;
}
