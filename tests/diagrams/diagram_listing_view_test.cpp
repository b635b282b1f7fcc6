// The listing box against the toolkit's own text layout: a twin edit with
// the same size, font, frame, options and text, laid out by the toolkit's
// document layout, must look and answer the same, pixel for pixel, at every
// scroll position, with selections, under the mouse and the keyboard.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QWheelEvent>

#include <random>

#include "diagram_test_support.h"
#include "widgets_qt.h"

using namespace diagtest;

namespace {

QTextEdit* Box(CDiagramDlg& dlg) { return qobject_cast<QTextEdit*>(dlg.GetDlgItem(IDC_LISTING)->GetWidget()); }

bool OnDemand(QTextEdit* e) {
    auto* layout = qobject_cast<korvel::window::ListingLayout*>(e->document()->documentLayout());
    return layout && layout->onDemand();
}

// The twin: a plain edit set up like `box`, over the same window.
std::unique_ptr<QTextEdit> Twin(QTextEdit* box) {
    auto twin = std::make_unique<QTextEdit>(box->parentWidget());
    twin->setReadOnly(box->isReadOnly());
    twin->setAcceptRichText(false);
    twin->setVerticalScrollBarPolicy(box->verticalScrollBarPolicy());
    twin->setHorizontalScrollBarPolicy(box->horizontalScrollBarPolicy());
    twin->setLineWrapMode(box->lineWrapMode());
    // The box reads every text left to right; the toolkit's edit finds the
    // direction in the text, as the listing box did before.
    QTextOption option = box->document()->defaultTextOption();
    option.setTextDirection(Qt::LayoutDirectionAuto);
    twin->document()->setDefaultTextOption(option);
    twin->document()->setDocumentMargin(box->document()->documentMargin());
    twin->setFrameShape(box->frameShape());
    twin->setFocusPolicy(box->focusPolicy());
    twin->setGeometry(box->geometry());
    twin->setPlainText(box->toPlainText());
    twin->show();
    twin->verticalScrollBar()->setValue(box->verticalScrollBar()->value());
    return twin;
}

QScrollBar* Bar(QTextEdit* e) { return e->verticalScrollBar(); }

void ScrollBoth(QTextEdit* a, QTextEdit* b, int value) {
    Bar(a)->setValue(value);
    Bar(b)->setValue(value);
}

// Both edits as drawn now, frame and scroll bar included.
::testing::AssertionResult SameLook(QTextEdit* box, QTextEdit* twin) {
    const QImage a = box->grab().toImage(), b = twin->grab().toImage();
    if (a.size() != b.size()) return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") at scroll " << Bar(box)->value() << ": " << std::hex
                       << a.pixel(x, y) << " vs " << b.pixel(x, y);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameScrollRange(QTextEdit* box, QTextEdit* twin) {
    if (Bar(box)->maximum() != Bar(twin)->maximum() || Bar(box)->pageStep() != Bar(twin)->pageStep() ||
        Bar(box)->singleStep() != Bar(twin)->singleStep() || Bar(box)->value() != Bar(twin)->value())
        return ::testing::AssertionFailure() << "scroll range " << Bar(box)->maximum() << " vs " << Bar(twin)->maximum()
                                             << ", value " << Bar(box)->value() << " vs " << Bar(twin)->value();
    return ::testing::AssertionSuccess();
}

// The positions both layouts give points over the viewport and beyond its
// edges, for clicks (between characters) and for exact hits.
::testing::AssertionResult SameHits(QTextEdit* box, QTextEdit* twin, int step) {
    const int w = box->viewport()->width(), h = box->viewport()->height();
    for (int y = -3; y < h + 3; y += step + 2)
        for (int x = -3; x < w + 3; x += step) {
            const QPoint p(x, y);
            const QPointF doc(x, y + Bar(box)->value());
            const int a = box->cursorForPosition(p).position(), b = twin->cursorForPosition(p).position();
            const int ea = box->document()->documentLayout()->hitTest(doc, Qt::ExactHit);
            const int eb = twin->document()->documentLayout()->hitTest(doc, Qt::ExactHit);
            if (a != b || ea != eb)
                return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") scroll " << Bar(box)->value()
                                                     << ": " << a << " vs " << b << ", exact " << ea << " vs " << eb;
        }
    return ::testing::AssertionSuccess();
}

void Select(QTextEdit* e, int anchor, int position) {
    QTextCursor c = e->textCursor();
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
}

// Scroll positions worth looking at for a document: the ends, a line's
// height off them, mid-line offsets and the middle.
std::vector<int> ScrollPositions(QTextEdit* e) {
    const int max = Bar(e)->maximum();
    std::vector<int> v = {0, 1, 6, 13, 14, 100, max / 3 + 5, max / 2, max - 13, max - 1, max};
    std::vector<int> out;
    for (int x : v)
        if (x >= 0 && x <= max && std::find(out.begin(), out.end(), x) == out.end()) out.push_back(x);
    return out;
}

// Compares the box and its twin at every scroll position, without and with
// selections (one starting above the view, one inside a line ending further
// down, one the whole text). The twin answers a hit test line by line from
// the top, so for a long text hits are compared at the top and the end only.
void ExpectSameAsToolkit(QTextEdit* box) {
    const std::unique_ptr<QTextEdit> twin = Twin(box);
    QTest::qWait(1);
    ASSERT_EQ(box->toPlainText(), twin->toPlainText());
    ASSERT_TRUE(SameScrollRange(box, twin.get()));
    const int length = static_cast<int>(box->toPlainText().size());
    const int max = Bar(box)->maximum();
    for (int value : ScrollPositions(box)) {
        ScrollBoth(box, twin.get(), value);
        ASSERT_TRUE(SameLook(box, twin.get()));
        if (max < 20000) {
            ASSERT_TRUE(SameHits(box, twin.get(), 4));
        } else if (value == 0 || value == max) {
            ASSERT_TRUE(SameHits(box, twin.get(), 7));
        }
        const int here = box->cursorForPosition(QPoint(40, 60)).position();
        const std::pair<int, int> selections[] = {
            {std::max(0, here - 300), std::min(length, here + 7)},
            {here, std::min(length, here + 140)},
            {std::min(length, here + 3), std::max(0, here - 2)},
            {0, length}};
        for (auto [anchor, position] : selections) {
            Select(box, anchor, position);
            Select(twin.get(), anchor, position);
            ScrollBoth(box, twin.get(), value);
            ASSERT_TRUE(SameLook(box, twin.get())) << "selection " << anchor << " .. " << position;
        }
        Select(box, 0, 0);
        Select(twin.get(), 0, 0);
    }
}

// A random text of numbers and tabs like a listing's, but with numbers of
// every width up to that of a line, runs of tabs and many ones (the font
// pairs "11" closer).
QString RandomListing(std::mt19937& rng, int words) {
    const char* digits = "01234567891111";
    const auto some = [&](int most) {
        QString d;
        for (int k = 0, n = 1 + static_cast<int>(rng() % most); k < n; ++k) d += QChar(digits[rng() % 14]);
        return d;
    };
    QString s;
    for (int i = 0; i < words; ++i) {
        if (rng() % 4 == 0) s += QChar(u'-');
        s += some(12);
        if (rng() % 3 != 0) s += QChar(u'.') + some(8);
        s += QChar(u'\t');
        if (rng() % 9 == 0) s += QChar(u'\t');
    }
    return s;
}

}  // namespace

TEST(DiagramListingView, ListingsOfFlightsLookAndAnswerAsTheToolkitsLayout) {
    OwnWindow w;
    ExpectSameAsToolkit(Box(*w));  // empty, before any "Расчёт"
    w.Calculate();
    ASSERT_TRUE(OnDemand(Box(*w)));
    ExpectSameAsToolkit(Box(*w));
    // The longest flight there is: 20000 rows.
    w.Set(Flight{.speed = 1.0f, .angle = 0, .mass = 1, .radius = 0.15f, .spin = 15, .density = 4.6f});
    w.Calculate();
    ASSERT_EQ(Rows(*w).size(), 20000u);
    ASSERT_TRUE(OnDemand(Box(*w)));
    ExpectSameAsToolkit(Box(*w));
}

TEST(DiagramListingView, AnyMixOfNumbersAndTabsBreaksWhereTheToolkitBreaksIt) {
    OwnWindow w;
    std::mt19937 rng(15);
    for (int round = 0; round < 3; ++round) {
        w->GetDlgItem(IDC_LISTING)->SetWindowText(RandomListing(rng, 400).toStdString());
        ASSERT_TRUE(OnDemand(Box(*w))) << round;
        ExpectSameAsToolkit(Box(*w));
    }
}

TEST(DiagramListingView, OtherTextsAreLaidOutWholeAsTheToolkitDoes) {
    OwnWindow w;
    const char* texts[] = {
        "0.00\t0.000\t0.000\tnan\t",                                       // unchecked input
        "12.5\t-.5\t.25\t1-2\t3.\t-\t",                                    // not numbers as listed
        "0.00\t1000000015047466219876688855040.000\t0.000\t1.000\t0.05\t",  // wider than a line
        "Первая строка\nвторая\n\n\t12.5\tконец",                           // paragraphs
    };
    for (const char* text : texts) {
        w->GetDlgItem(IDC_LISTING)->SetWindowText(text);
        ASSERT_FALSE(OnDemand(Box(*w))) << text;
        ExpectSameAsToolkit(Box(*w));
    }
}

TEST(DiagramListingView, KeysWheelMouseAndCopyActAsOnTheToolkitsLayout) {
    OwnWindow w;
    w.Set(Flight{.speed = 1.0f, .angle = 0, .mass = 1, .radius = 0.15f, .spin = 15, .density = 4.6f});
    w.Calculate();
    QTextEdit* box = Box(*w);
    ASSERT_TRUE(OnDemand(box));
    const std::unique_ptr<QTextEdit> twin = Twin(box);
    QTest::qWait(1);
    int step = 0;
    const auto both = [&](const std::function<void(QTextEdit*)>& act) {
        ++step;
        act(box);
        act(twin.get());
        ASSERT_TRUE(SameScrollRange(box, twin.get())) << "step " << step;
        ASSERT_EQ(box->textCursor().selectionStart(), twin->textCursor().selectionStart()) << "step " << step;
        ASSERT_EQ(box->textCursor().selectionEnd(), twin->textCursor().selectionEnd()) << "step " << step;
        ASSERT_TRUE(SameLook(box, twin.get())) << "step " << step;
    };
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return [k, m](QTextEdit* e) { QTest::keyClick(e, k, m); };
    };
    for (auto [k, m] : std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
             {Qt::Key_PageDown, Qt::NoModifier}, {Qt::Key_Down, Qt::NoModifier}, {Qt::Key_PageDown, Qt::NoModifier},
             {Qt::Key_Up, Qt::NoModifier}, {Qt::Key_End, Qt::ControlModifier}, {Qt::Key_PageUp, Qt::NoModifier},
             {Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_End, Qt::NoModifier}, {Qt::Key_Home, Qt::NoModifier}})
        both(key(k, m));
    const auto wheel = [](int steps) {
        return [steps](QTextEdit* e) {
            const QPointF at(50, 50);
            QWheelEvent ev(at, e->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120 * steps), Qt::NoButton,
                           Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(e->viewport(), &ev);
        };
    };
    both(wheel(3));
    both(wheel(-1));
    // Selecting with the mouse: a drag over lines, a word, a paragraph.
    const auto drag = [](QPoint from, QPoint to) {
        return [from, to](QTextEdit* e) {
            QTest::mousePress(e->viewport(), Qt::LeftButton, Qt::NoModifier, from);
            QTest::mouseMove(e->viewport(), (from + to) / 2);
            QTest::mouseMove(e->viewport(), to);
            QTest::mouseRelease(e->viewport(), Qt::LeftButton, Qt::NoModifier, to);
        };
    };
    both(drag(QPoint(30, 20), QPoint(120, 200)));
    both(drag(QPoint(150, 300), QPoint(10, 40)));
    // Select all and copy: the whole listing, tabs and no line breaks; by
    // the keys and by the toolkit's own context menu.
    both(key(Qt::Key_A, Qt::ControlModifier));
    QApplication::clipboard()->clear();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), w->Listing().str());
    both([](QTextEdit* e) { e->setTextCursor(QTextCursor(e->document())); });
    QApplication::clipboard()->clear();
    const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    QAction* selectAll = menu->findChild<QAction*>(QStringLiteral("select-all"));
    QAction* copy = menu->findChild<QAction*>(QStringLiteral("edit-copy"));
    ASSERT_TRUE(selectAll && copy);
    selectAll->trigger();
    const std::unique_ptr<QMenu> again(box->createStandardContextMenu());
    again->findChild<QAction*>(QStringLiteral("edit-copy"))->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), w->Listing().str());
    both([](QTextEdit* e) { e->setTextCursor(QTextCursor(e->document())); });
    // A new listing while the view is far down shows its first line.
    both(key(Qt::Key_PageDown));
    both([&](QTextEdit* e) {
        if (e == box)
            w->GetDlgItem(IDC_LISTING)->SetWindowText("0.00\t0.000\t0.000\t20.000\t0.05\t0.707\t0.703\t19.879\t");
        else
            e->setPlainText(box->toPlainText());
    });
    w->GetDlgItem(IDC_LISTING)->SetWindowText(w->Listing());
    twin->setPlainText(box->toPlainText());
    // A double click selects a word, and a drag then extends the selection
    // word by word: for that the listing is laid out whole.
    ASSERT_TRUE(OnDemand(box));
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    both([](QTextEdit* e) {
        QTest::mouseDClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(70, 100));
        EXPECT_GT(e->textCursor().selectedText().size(), 2);
        QTest::mouseMove(e->viewport(), QPoint(160, 140));
        QTest::mouseRelease(e->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 140));
    });
    EXPECT_FALSE(OnDemand(box));
    EXPECT_GT(box->textCursor().selectedText().size(), 20);
}
