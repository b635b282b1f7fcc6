// The Diagrams window with the main dialog: opened by "Диаграммы", fed by
// the main dialog's inputs, panned by its arrows, closed and opened again
// over the kept object, and taken along when the main dialog closes.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

#include <set>

#include "diagram_test_support.h"
#include "flight_dlg.h"

using namespace diagtest;
using harness::CatchMessages;
using harness::Click;
using harness::Edit;
using harness::PasteInto;
using harness::RunModal;

namespace {

const char* const kTitle = "Зависимость V(t) & Y(t)";

CDiagramDlg& Diagrams() { return *g_pDiagramDlg; }

// Presses "Диаграммы"; true when the window then exists.
bool Open(CFlightDlg& main) {
    Click(main, IDC_DIAGRAMS);
    return g_pDiagramDlg && !g_bDiagramClosed && g_pDiagramDlg->GetSafeHwnd();
}

QPlainTextEdit* ListingBox(CDiagramDlg& dlg) {
    return qobject_cast<QPlainTextEdit*>(dlg.GetDlgItem(IDC_LISTING)->GetWidget());
}

bool Enabled(int id) { return Diagrams().GetDlgItem(id)->IsWindowEnabled() != FALSE; }

bool KeepChecked() {
    return qobject_cast<QAbstractButton*>(Diagrams().GetDlgItem(IDC_DIAG_KEEP)->GetWidget())->isChecked();
}

int VisibleDiagramWindows() {
    int n = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) n += top->isVisible() && top->windowTitle() == kTitle;
    return n;
}

// The window shows the buffer from the view origin at client (12, 12).
void ExpectViewShown() {
    const QImage shot = Diagrams().GetWidget()->grab().toImage();
    const int vx = Diagrams().ViewX(), vy = Diagrams().ViewY();
    for (int j = 0; j < 490; j += 7)
        for (int i = 0; i < 610; i += 5) {
            const QColor q = shot.pixelColor(12 + i, 12 + j);
            ASSERT_EQ(RGB(q.red(), q.green(), q.blue()), Px(Diagrams(), vx + i, vy + j)) << i << "," << j;
        }
}

std::string ToolTipOf(int id) {
    QWidget* w = Diagrams().GetDlgItem(id)->GetWidget();
    const QPoint centre(w->width() / 2, w->height() / 2);
    QHelpEvent help(QEvent::ToolTip, centre, w->mapToGlobal(centre));
    QApplication::sendEvent(w, &help);
    const std::string text = QToolTip::text().toStdString();
    QToolTip::hideText();
    return text;
}

// The arrow shows bitmap `id` from its top-left corner, pixel for pixel,
// inside the 27 x 25 shape of its mask (tiled or stretched 1:1 here).
bool ShowsBitmap(int control, UINT bitmap) {
    CBitmap bmp;
    if (!bmp.LoadBitmap(bitmap)) return false;
    const QImage shot = Diagrams().GetDlgItem(control)->GetWidget()->grab().toImage();
    for (int y = 0; y < std::min(shot.height(), 25); ++y)
        for (int x = 0; x < std::min(shot.width(), 27); ++x)
            if ((shot.pixel(x, y) & 0xFFFFFFu) != (bmp.GetSurface()->At(x, y) & 0xFFFFFFu)) return false;
    return true;
}

}  // namespace

TEST(DiagramWindow, OpensOnceAsAPopupOwnedByTheMainDialog) {
    CFlightDlg main;
    ASSERT_NE(g_pDiagramDlg, nullptr);
    EXPECT_TRUE(g_bDiagramClosed);
    EXPECT_FALSE(g_pDiagramDlg->GetSafeHwnd());
    RunModal(main, [&] {
        ASSERT_TRUE(Open(main));
        QWidget* w = Diagrams().GetWidget();
        EXPECT_EQ(w->windowType(), Qt::Dialog);
        EXPECT_EQ(w->parentWidget(), main.GetWidget());
        EXPECT_EQ(w->windowTitle().toStdString(), kTitle);
        EXPECT_EQ(w->pos(), QPoint(10, 10));
        EXPECT_EQ(w->size(), QSize(855, 518));
        EXPECT_TRUE(KeepChecked());
        for (int id : {IDC_SHIFT_UP, IDC_SHIFT_DOWN, IDC_SHIFT_RIGHT, IDC_SHIFT_LEFT}) EXPECT_TRUE(Enabled(id)) << id;
        ExpectViewShown();
        EXPECT_EQ(Px(Diagrams(), 20, 965), kBlack) << "the first view holds the origin";
        // The controls stand right of the chart; the headings fit.
        EXPECT_EQ(Diagrams().GetDlgItem(IDC_LISTING)->GetWidget()->geometry(), QRect(639, 21, 201, 327));
        int headings = 0;
        for (QLabel* l : w->findChildren<QLabel*>()) {
            EXPECT_GE(l->x(), 12 + 610);
            EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << l->text().toStdString();
            ++headings;
        }
        EXPECT_EQ(headings, 4);

        Click(main, IDC_DIAGRAMS);
        EXPECT_EQ(Diagrams().GetWidget(), w);
        EXPECT_EQ(VisibleDiagramWindows(), 1);
    });
}

TEST(DiagramWindow, ArrowsShowTheirImagesAndTooltipsOnEachCreation) {
    CFlightDlg main;
    RunModal(main, [&] {
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(Open(main));
            EXPECT_EQ(ToolTipOf(IDC_SHIFT_UP), "Сдвиг рабочей области вверх");
            EXPECT_EQ(ToolTipOf(IDC_SHIFT_DOWN), "Сдвиг рабочей области вниз");
            EXPECT_EQ(ToolTipOf(IDC_SHIFT_RIGHT), "Сдвиг рабочей области вправо");
            EXPECT_EQ(ToolTipOf(IDC_SHIFT_LEFT), "Сдвиг рабочей области влево");
            // The images point the way the view moves over the chart.
            EXPECT_TRUE(ShowsBitmap(IDC_SHIFT_UP, IDB_UP));
            EXPECT_TRUE(ShowsBitmap(IDC_SHIFT_DOWN, IDB_DOWN));
            EXPECT_TRUE(ShowsBitmap(IDC_SHIFT_RIGHT, IDB_LEFT));
            EXPECT_TRUE(ShowsBitmap(IDC_SHIFT_LEFT, IDB_RIGHT));
            Click(Diagrams(), IDC_SHIFT_DOWN);  // both at their limits
            Click(Diagrams(), IDC_SHIFT_RIGHT);
            EXPECT_TRUE(ShowsBitmap(IDC_SHIFT_DOWN, IDB_DOWN_DISABLED));
            EXPECT_TRUE(ShowsBitmap(IDC_SHIFT_RIGHT, IDB_LEFT_DISABLED));
            Diagrams().GetWidget()->close();
        }
    });
}

TEST(DiagramWindow, InputsReachTheOpenWindowOnEveryChangeAndPress) {
    CFlightDlg main;
    RunModal(main, [&] {
        ASSERT_TRUE(Open(main));
        Click(Diagrams(), IDC_DIAG_KEEP);  // cleared: every new input starts a white chart
        Click(Diagrams(), IDC_CALCULATE);
        ASSERT_GT(LateCurvePixels(Diagrams()), 0);
        Click(main, IDC_DIAGRAMS);
        EXPECT_EQ(LateCurvePixels(Diagrams()), 0) << "a second press passes the inputs again";

        Click(Diagrams(), IDC_CALCULATE);
        // Typing leaves the listing box as it was: scrolled down, a part selected.
        QPlainTextEdit* box = ListingBox(Diagrams());
        ASSERT_TRUE(harness::WaitFor([&] { return box->document()->blockCount() == 86; }));
        QTextCursor selection(box->document());
        selection.setPosition(30);
        selection.setPosition(60, QTextCursor::KeepAnchor);
        box->setTextCursor(selection);
        box->verticalScrollBar()->setValue(20);
        QLineEdit* speed = Edit(main, IDC_SPEED);
        speed->setFocus();
        speed->selectAll();
        QTest::keyClicks(speed, "15");
        EXPECT_EQ(LateCurvePixels(Diagrams()), 0) << "typing redraws the empty chart";
        EXPECT_EQ(box->verticalScrollBar()->value(), 20);
        EXPECT_EQ(box->textCursor().selectedText().size(), 30);
        Click(Diagrams(), IDC_CALCULATE);
        EXPECT_EQ(Rows(Diagrams())[0][3], "15.000");

        // The check boxes pass spin and drag: both off, the throw ends at step 578.
        PasteInto(speed, "20");
        Click(main, IDC_SPIN_ON);
        Click(main, IDC_DRAG_ON);
        Click(Diagrams(), IDC_CALCULATE);
        EXPECT_EQ(Rows(Diagrams()).size(), 58u);
        // Angle and spin: flat and pushed down, it lands at once.
        Click(main, IDC_SPIN_ON);
        PasteInto(Edit(main, IDC_ANGLE), "0");
        PasteInto(Edit(main, IDC_SPIN), "-10");
        Click(Diagrams(), IDC_CALCULATE);
        EXPECT_EQ(Rows(Diagrams()).size(), 1u);
    });
}

TEST(DiagramWindow, RefusedInputsOpenNothing) {
    CFlightDlg main;
    RunModal(main, [&] {
        ASSERT_EQ(CatchMessages([&] { PasteInto(Edit(main, IDC_SPEED), "31"); }).size(), 1u);
        EXPECT_EQ(CatchMessages([&] { Click(main, IDC_DIAGRAMS); }).size(), 1u);
        EXPECT_TRUE(g_bDiagramClosed);
        EXPECT_FALSE(g_pDiagramDlg->GetSafeHwnd());
    });
}

TEST(DiagramWindow, ArrowsPanTheViewWithinTheirLimits) {
    CFlightDlg main;
    RunModal(main, [&] {
        ASSERT_TRUE(Open(main));
        // The view starts at its lowest place: "вниз" disables itself at once.
        Click(Diagrams(), IDC_SHIFT_DOWN);
        EXPECT_EQ(Diagrams().ViewY(), 490);
        EXPECT_FALSE(Enabled(IDC_SHIFT_DOWN));
        for (int y : {410, 330, 250, 170, 90, 10}) {
            Click(Diagrams(), IDC_SHIFT_UP);
            EXPECT_EQ(Diagrams().ViewY(), y);
            EXPECT_TRUE(Enabled(IDC_SHIFT_DOWN));
            EXPECT_TRUE(Enabled(IDC_SHIFT_UP)) << "reaching the limit does not disable";
        }
        ExpectViewShown();
        Click(Diagrams(), IDC_SHIFT_UP);
        EXPECT_EQ(Diagrams().ViewY(), 10);
        EXPECT_FALSE(Enabled(IDC_SHIFT_UP));
        Click(Diagrams(), IDC_SHIFT_DOWN);
        EXPECT_EQ(Diagrams().ViewY(), 90);
        EXPECT_TRUE(Enabled(IDC_SHIFT_UP));

        for (int x : {120, 240, 360, 480, 600, 720, 840, 960}) {
            Click(Diagrams(), IDC_SHIFT_LEFT);
            EXPECT_EQ(Diagrams().ViewX(), x);
        }
        ExpectViewShown();
        Click(Diagrams(), IDC_SHIFT_LEFT);
        EXPECT_EQ(Diagrams().ViewX(), 960);
        EXPECT_FALSE(Enabled(IDC_SHIFT_LEFT));
        for (int i = 0; i < 8; ++i) Click(Diagrams(), IDC_SHIFT_RIGHT);
        EXPECT_EQ(Diagrams().ViewX(), 0);
        EXPECT_TRUE(Enabled(IDC_SHIFT_LEFT));
        Click(Diagrams(), IDC_SHIFT_RIGHT);
        EXPECT_EQ(Diagrams().ViewX(), 0);
        EXPECT_FALSE(Enabled(IDC_SHIFT_RIGHT));
    });
}

TEST(DiagramWindow, ClosingKeepsTheDrawingAndReopeningStartsTheControlsAfresh) {
    CFlightDlg main;
    RunModal(main, [&] {
        ASSERT_TRUE(Open(main));
        Click(Diagrams(), IDC_CALCULATE);
        const CString listing = Diagrams().Listing();
        Click(Diagrams(), IDC_SHIFT_UP);
        Click(Diagrams(), IDC_SHIFT_UP);
        Click(Diagrams(), IDC_SHIFT_RIGHT);  // at its limit: disables itself
        Click(Diagrams(), IDC_DIAG_KEEP);
        ASSERT_FALSE(KeepChecked());
        QPointer<QWidget> first = Diagrams().GetWidget();

        first->close();  // the caption's close button
        QTest::qWait(1);
        EXPECT_TRUE(g_bDiagramClosed);
        EXPECT_FALSE(g_pDiagramDlg->GetSafeHwnd());
        EXPECT_EQ(VisibleDiagramWindows(), 0);
        PasteInto(Edit(main, IDC_SPEED), "12");  // not passed to a closed window
        EXPECT_GT(LateCurvePixels(Diagrams()), 0);

        ASSERT_TRUE(Open(main));
        // A new window: the first one is gone (its memory may be reused).
        EXPECT_TRUE(first.isNull());
        EXPECT_TRUE(KeepChecked()) << "checked again on each creation";
        EXPECT_TRUE(Enabled(IDC_SHIFT_RIGHT)) << "arrows start enabled";
        EXPECT_EQ(Diagrams().ViewY(), 330);
        EXPECT_GT(LateCurvePixels(Diagrams()), 0) << "axes drawn over the kept curves";
        EXPECT_EQ(Diagrams().GetDlgItem(IDC_LISTING)->GetWindowText(), listing);
        ExpectViewShown();
        Click(Diagrams(), IDC_CALCULATE);
        EXPECT_EQ(Rows(Diagrams())[0][3], "12.000");

        // Escape closes it the same way.
        QTest::keyClick(Diagrams().GetWidget(), Qt::Key_Escape);
        QTest::qWait(1);
        EXPECT_TRUE(g_bDiagramClosed);
        EXPECT_EQ(VisibleDiagramWindows(), 0);
        EXPECT_TRUE(Open(main));
    });
}

TEST(DiagramWindow, ClosingTheMainDialogTakesTheOpenWindowAlong) {
    {
        CFlightDlg main;
        RunModal(main, [&] {
            ASSERT_TRUE(Open(main));
            Click(Diagrams(), IDC_CALCULATE);
        });
        EXPECT_FALSE(g_pDiagramDlg->GetSafeHwnd());
        EXPECT_TRUE(g_bDiagramClosed);
        QTest::qWait(5);  // the toolkit deletes both windows' widgets
    }
    EXPECT_EQ(g_pDiagramDlg, nullptr);
    EXPECT_EQ(VisibleDiagramWindows(), 0);
}

// The listing box: a row a line at any font, each number under its own
// heading even for the widest numbers the input ranges give (a throw
// backwards, without drag, for 1000 s: lengths past -20 000 m, heights
// past 100 m), the rows inside the box; what Ctrl+A, Ctrl+C copy and what
// a screen reader reads line by line are the rows.
TEST(DiagramWindow, TheListingShowsARowALineUnderItsHeadingsWhateverTheFont) {
    OwnWindow w(Flight{.speed = 30.0f, .angle = 179, .mass = 4, .radius = 0.09f, .spin = -10, .density = 3.81f,
                       .dragOn = false});
    w.Calculate();
    QPlainTextEdit* box = ListingBox(*w);
    ASSERT_NE(box, nullptr);
    QTextDocument* doc = box->document();
    const std::vector<Row> rows = Rows(*w);
    const QStringList lines = QString::fromStdString(w->Listing().str()).split(u'\n');
    ASSERT_EQ(rows.size(), 20000u);
    // The rows on screen show at once; Ctrl+A, Ctrl+C then copy all rows,
    // a line each.
    EXPECT_GE(doc->blockCount(), 20);
    EXPECT_LT(doc->blockCount(), 20000);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), w->Listing().str());
    // Without input, the other rows join them by themselves.
    w.Calculate();
    EXPECT_LT(doc->blockCount(), 20000);
    ASSERT_TRUE(harness::WaitFor([&] { return doc->blockCount() == 20000; }, 5000));

    // The first and the last row, and for each column the row whose number
    // there is widest.
    std::set<int> probes = {0, 19999};
    for (std::size_t c = 0; c < 4; ++c)
        probes.insert(static_cast<int>(std::max_element(rows.begin(), rows.end(), [c](const Row& a, const Row& b) {
                                           return a[c].size() < b[c].size();
                                       }) - rows.begin()));
    // A number stands under its own heading when its middle is nearer the
    // middle of that heading's label than of any other.
    std::vector<std::pair<int, int>> headings;  // left and right edge, from the box's left edge
    for (QLabel* l : w->GetWidget()->findChildren<QLabel*>())
        headings.emplace_back(l->x() - box->x(), l->x() + l->width() - box->x());
    std::sort(headings.begin(), headings.end());
    ASSERT_EQ(headings.size(), 4u);
    const auto x = [&](int pos) {  // where the text cursor stands before `pos`, from the box's left edge
        QTextCursor c(doc);
        c.setPosition(pos);
        return box->cursorRect(c).left() + box->viewport()->x();
    };
    for (int i : probes) {
        const QTextBlock block = doc->findBlockByNumber(i);
        EXPECT_EQ(block.text(), lines[i]);
        int at = block.position(), previousEnd = 0;
        for (std::size_t c = 0; c < 4; ++c) {
            const int left = x(at), right = x(at + static_cast<int>(rows[i][c].size()));
            const auto distance = [&](const std::pair<int, int>& h) { return std::abs(left + right - h.first - h.second); };
            for (std::size_t o = 0; o < 4; ++o) {
                if (o == c) continue;
                EXPECT_LT(distance(headings[c]), distance(headings[o])) << "row " << i << ", " << rows[i][c];
            }
            EXPECT_GE(left, previousEnd + 2) << "row " << i << ", " << rows[i][c];
            previousEnd = right;
            at += static_cast<int>(rows[i][c].size()) + 1;
        }
        EXPECT_LE(previousEnd, box->viewport()->x() + box->viewport()->width()) << "row " << i;
    }
    EXPECT_EQ(box->horizontalScrollBar()->maximum(), 0) << "nothing to scroll sideways";

    // A screen reader reading line by line reads the rows.
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(box);
    ASSERT_TRUE(reader && reader->textInterface());
    for (int i : probes) {
        int start = -1, end = -1;
        const QString line = reader->textInterface()->textAtOffset(doc->findBlockByNumber(i).position() + 3,
                                                                   QAccessible::LineBoundary, &start, &end);
        EXPECT_EQ(line.toStdString(), lines[i].toStdString());
    }

    // Twice the font: still a row a line.
    QFont font = box->font();
    font.setPixelSize(2 * font.pixelSize());
    box->setFont(font);
    EXPECT_EQ(doc->blockCount(), 20000);
    for (int i : probes) {
        const QTextBlock block = doc->findBlockByNumber(i);
        doc->documentLayout()->blockBoundingRect(block);
        EXPECT_EQ(block.layout()->lineCount(), 1) << "row " << i;
    }
}
