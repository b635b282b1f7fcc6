// The document layout of multi-line edits (see ListingLayout in
// widgets_qt.h): a long listing laid out line by line on demand, anything
// else laid out whole, both exactly where the toolkit's own layout puts it.
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <map>

#include "widgets_qt.h"

namespace korvel::window {

namespace {

// Lengths in the toolkit's own unit of text layout, 1/64 pixel, converted
// the way it converts them (truncating).
using Fixed = qint64;
Fixed ToFixed(qreal v) { return static_cast<Fixed>(v * 64); }
qreal FromFixed(Fixed v) { return static_cast<qreal>(v) / 64; }

// The characters of a listing's numbers, by index.
constexpr int kLetters = 12;
int LetterIndex(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u == u'.') return 10;
    if (u == u'-') return 11;
    return -1;
}
QChar Letter(int i) { return QChar(i < 10 ? u'0' + i : (i == 10 ? u'.' : u'-')); }

// The advances the toolkit gives a font's number characters once it has
// shaped them: alone (the last character of a number) and followed by
// another (kerning included, as the font pairs "11" closer). Usable when
// every character is in the font and no glyph reaches past its advance, so
// that the toolkit's line breaking sees nothing but these advances.
struct Advances {
    bool usable = true;
    Fixed alone[kLetters] = {};
    Fixed followed[kLetters][kLetters] = {};
};

const Advances& AdvancesOf(const QFont& font, QPaintDevice* device) {
    // Measured once per font; layouts live on the user-interface thread.
    static std::map<std::pair<QString, int>, Advances> cache;
    const int dpi = device ? device->logicalDpiY() : 0;
    auto [it, added] = cache.try_emplace({font.key(), dpi});
    Advances& a = it->second;
    if (!added) return a;
    const QFontMetricsF fm(font, device);
    for (int i = 0; i < kLetters; ++i) {
        a.alone[i] = ToFixed(fm.horizontalAdvance(QString(Letter(i))));
        if (!fm.inFontUcs4(Letter(i).unicode()) || fm.rightBearing(Letter(i)) < 0) a.usable = false;
    }
    for (int i = 0; i < kLetters; ++i)
        for (int j = 0; j < kLetters; ++j)
            a.followed[i][j] = ToFixed(fm.horizontalAdvance(QString(Letter(i)) + Letter(j))) - a.alone[j];
    return a;
}

// The screen resolution text is laid out for when no device is given.
int DefaultDpiY() {
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi)) return 96;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return qRound(screen->logicalDotsPerInchY());
    return 100;
}

}  // namespace

// What the layout of a paragraph depends on.
struct ListingLayout::Geometry {
    QFont font;
    qreal margin = 0;
    qreal pageWidth = 0;
    qreal lineWidth = 0;
};

ListingLayout::ListingLayout(QTextDocument* doc) : QAbstractTextDocumentLayout(doc) {}

ListingLayout::~ListingLayout() = default;

ListingLayout::Geometry ListingLayout::geometry() const {
    const QTextDocument* doc = document();
    Geometry g;
    g.font = doc->defaultFont();
    g.margin = doc->documentMargin();
    g.pageWidth = doc->pageSize().width();
    g.lineWidth = FromFixed(ToFixed(g.pageWidth) - 2 * ToFixed(g.margin));
    return g;
}

namespace {

// The options a paragraph is laid out with, as the toolkit's document layout
// sets them: the document's, with the paragraph's direction, tabs and
// alignment.
QTextOption BlockOption(const QTextDocument* doc, const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    const Qt::LayoutDirection dir = block.textDirection();
    QTextOption option = doc->defaultTextOption();
    option.setTextDirection(dir);
    option.setTabs(format.tabPositions());
    Qt::Alignment align = doc->defaultTextOption().alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment)) align = format.alignment();
    option.setAlignment(QStyle::visualAlignment(dir, align));
    if (format.nonBreakableLines() || doc->pageSize().width() < 0) option.setWrapMode(QTextOption::ManualWrap);
    return option;
}

// The selections of a paint context that touch a paragraph at `blockPos` of
// `blockLength`, as ranges of a layout whose text starts `from` characters
// into the paragraph. The toolkit draws a selection that starts before its
// layout's text differently (the whole line in the selection's colours), so
// such a layout must start a line above the lines that are seen.
QList<QTextLayout::FormatRange> Selections(const QAbstractTextDocumentLayout::PaintContext& context, int blockPos,
                                           int blockLength, int from) {
    QList<QTextLayout::FormatRange> out;
    for (const QAbstractTextDocumentLayout::Selection& range : context.selections) {
        const int start = range.cursor.selectionStart() - blockPos;
        const int end = range.cursor.selectionEnd() - blockPos;
        if (start < blockLength && end > 0 && end > start) {
            // A selection from before the layout's text starts with it.
            QTextLayout::FormatRange r;
            r.start = std::max(start - from, 0);
            r.length = end - from - r.start;
            r.format = range.format;
            if (r.length > 0) out.append(r);
        }
    }
    return out;
}

}  // namespace

// Finds the lines of a listing the way the toolkit breaks a paragraph that
// wraps at word boundaries: numbers are never broken (they hold no break
// opportunity), a tab advances to the next tab stop and ends a word; a word
// that would end past the line's width starts the next line, and a tab that
// would end past it stays, as trailing white space, on the line it ends.
// False when the document is not such a listing.
bool ListingLayout::findListingLines(const Geometry& g, const QString& coming) {
    const QTextDocument* doc = document();
    if (doc->blockCount() != 1 || g.pageWidth <= 0) return false;
    const QTextBlock block = doc->firstBlock();
    const QTextBlockFormat format = block.blockFormat();
    const QTextOption option = BlockOption(doc, block);
    QPaintDevice* device = paintDevice();
    if (option.wrapMode() != QTextOption::WrapAtWordBoundaryOrAnywhere || !option.tabs().isEmpty() ||
        option.tabStopDistance() <= 0 || option.textDirection() != Qt::LeftToRight ||
        (option.flags() & (QTextOption::IncludeTrailingSpaces | QTextOption::ShowTabsAndSpaces |
                           QTextOption::ShowLineAndParagraphSeparators)) ||
        !(option.alignment() & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignCenter | Qt::AlignJustify)) ||
        format.textIndent() != 0 || format.lineHeightType() != QTextBlockFormat::SingleHeight ||
        (device && device->logicalDpiY() != DefaultDpiY()))
        return false;
    const Advances& adv = AdvancesOf(g.font, device);
    if (!adv.usable) return false;

    // The text being set, when it is the paragraph's (no copy of a long
    // paragraph), else the paragraph's own.
    const QString text = coming.size() == block.length() - 1 ? coming : block.text();
    const int n = static_cast<int>(text.size());
    if (n == 0) return false;
    const Fixed width = ToFixed(g.lineWidth);
    const Fixed tab = ToFixed(option.tabStopDistance());
    if (tab > width) return false;

    const QChar* s = text.constData();
    std::vector<int> starts{0};
    starts.reserve(static_cast<std::size_t>(n / 16 + 2));
    int pos = 0;
    while (pos < n) {
        Fixed used = 0;  // the width the line has taken
        int p = pos;     // the line holds pos .. p
        int end = n;
        while (p < n) {
            if (s[p] == u'\t') {
                // The toolkit divides in its fixed-point unit, rounding to
                // the nearest 1/64: a position within 3/8 pixel of a stop
                // already counts as the stop, and the tab goes to the next.
                const Fixed next = ((used * 64 + tab / 2) / tab / 64 + 1) * tab;
                if (p > pos && (used > width || next > width)) {
                    end = used > width ? p : p + 1;
                    break;
                }
                used = next;
                ++p;
                continue;
            }
            // A number: an optional minus, digits, and a point with more
            // digits. Anything else may hold a break opportunity.
            Fixed word = 0;
            int q = p;
            int digits = 0;      // digits since the start or the point
            bool point = false;  // the point is behind
            for (int i = LetterIndex(s[q]);;) {
                if (i < 0 || (i == 11 && q != p) || (i == 10 && (point || digits == 0))) return false;
                if (i == 10) {
                    point = true;
                    digits = 0;
                } else if (i < 10) {
                    ++digits;
                }
                const int next = q + 1 < n && s[q + 1] != u'\t' ? LetterIndex(s[q + 1]) : -2;
                if (next == -1) return false;
                word += next >= 0 ? adv.followed[i][next] : adv.alone[i];
                ++q;
                if (next < 0) break;
                i = next;
            }
            if (digits == 0) return false;
            // A number wider than a line is broken anywhere: not a listing.
            if (word > width) return false;
            if (p > pos && used + word > width) {
                end = p;
                break;
            }
            used += word;
            p = q;
        }
        if (p >= n) end = n;
        starts.push_back(end);
        pos = end;
    }

    // Every line has the height of a line of numbers in this font.
    QTextLayout probe(QStringLiteral("0"), g.font, device);
    probe.setTextOption(option);
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLeadingIncluded(true);
    line.setLineWidth(g.lineWidth);
    probe.endLayout();

    m_text = text;
    m_lineStarts = std::move(starts);
    m_margin = g.margin;
    m_lineWidth = g.lineWidth;
    m_lineHeight = FromFixed(ToFixed(line.height()));
    m_size = QSizeF(g.pageWidth, static_cast<qreal>(m_lineStarts.size() - 1) * m_lineHeight + 2 * g.margin);
    // The paragraph's own layout holds no lines: the text is laid out here.
    block.layout()->clearLayout();
    return true;
}

void ListingLayout::layOutWhole(const Geometry& g) {
    QTextDocument* doc = document();
    const Fixed width = ToFixed(g.lineWidth);
    Fixed y = ToFixed(g.margin);
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QTextLayout* tl = block.layout();
        QTextOption option = BlockOption(doc, block);
        tl->setTextOption(option);
        Fixed blockY = 0;
        tl->beginLayout();
        for (;;) {
            QTextLine line = tl->createLine();
            if (!line.isValid()) break;
            line.setLeadingIncluded(true);
            line.setLineWidth(g.lineWidth);
            // Wider than the line even when broken anywhere: given the room.
            if (ToFixed(line.naturalTextWidth()) > width &&
                option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere) {
                option.setWrapMode(QTextOption::WrapAnywhere);
                tl->setTextOption(option);
                line.setLineWidth(std::max(line.naturalTextWidth(), g.lineWidth));
                option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
                tl->setTextOption(option);
            }
            line.setPosition(QPointF(0, FromFixed(blockY)));
            blockY += ToFixed(line.height());
        }
        tl->endLayout();
        tl->setPosition(QPointF(g.margin, FromFixed(y)));
        y += blockY;
    }
    m_size = QSizeF(g.pageWidth, FromFixed(y + ToFixed(g.margin)));
}

void ListingLayout::documentChanged(int, int, int) {
    QString coming;
    std::swap(coming, m_coming);
    const QSizeF oldSize = m_size;
    const Geometry g = geometry();
    m_onDemand = findListingLines(g, coming);
    if (!m_onDemand) {
        m_text.clear();
        m_lineStarts.clear();
        layOutWhole(g);
    }
    emit update();
    if (m_size != oldSize) emit documentSizeChanged(m_size);
}

bool ListingLayout::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && m_onDemand) {
        m_onDemand = false;
        m_text.clear();
        m_lineStarts.clear();
        layOutWhole(geometry());
    }
    return false;
}

int ListingLayout::lineCount() const {
    if (m_onDemand) return static_cast<int>(m_lineStarts.size()) - 1;
    int n = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) n += block.layout()->lineCount();
    return n;
}

std::unique_ptr<QTextLayout> ListingLayout::layOutLines(int first, int last) const {
    const int end = std::min(last + 2, lineCount());
    const int from = m_lineStarts[static_cast<std::size_t>(first)];
    const int to = m_lineStarts[static_cast<std::size_t>(end)];
    const QTextDocument* doc = document();
    auto tl = std::make_unique<QTextLayout>(m_text.mid(from, to - from), doc->defaultFont(), paintDevice());
    tl->setTextOption(BlockOption(doc, doc->firstBlock()));
    tl->beginLayout();
    for (int i = first; i < end; ++i) {
        QTextLine line = tl->createLine();
        if (!line.isValid()) break;
        line.setLeadingIncluded(true);
        line.setLineWidth(m_lineWidth);
        line.setPosition(QPointF(0, i * m_lineHeight));
    }
    tl->endLayout();
    tl->setPosition(QPointF(m_margin, m_margin));
    return tl;
}

void ListingLayout::draw(QPainter* painter, const PaintContext& context) {
    const QRectF& clip = context.clip;
    const QTextDocument* doc = document();
    if (m_onDemand) {
        const int n = lineCount();
        const qreal top = m_margin, bottom = m_margin + n * m_lineHeight;
        if (clip.isValid() && (bottom < clip.y() || top > clip.bottom())) return;
        int first = 0, last = n - 1;
        if (clip.isValid()) {
            first = std::clamp(static_cast<int>(std::floor((clip.top() - top) / m_lineHeight)), 0, n - 1);
            last = std::clamp(static_cast<int>(std::floor((clip.bottom() - top) / m_lineHeight)), 0, n - 1);
        }
        // From the line above the first seen: see Selections.
        first = std::max(first - 1, 0);
        const std::unique_ptr<QTextLayout> tl = layOutLines(first, last);
        const int from = m_lineStarts[static_cast<std::size_t>(first)];
        const QTextBlock block = doc->firstBlock();
        const QPen oldPen = painter->pen();
        painter->setPen(context.palette.color(QPalette::Text));
        const QRectF box(m_margin, top, m_lineWidth, bottom - top);
        tl->draw(painter, QPointF(), Selections(context, block.position(), block.length(), from),
                 clip.isValid() ? clip & box : box);
        const int cursor = context.cursorPosition - block.position() - from;
        if (cursor >= 0 && cursor <= tl->text().size()) tl->drawCursor(painter, QPointF(), cursor, 1);
        painter->setPen(oldPen);
        return;
    }
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* tl = block.layout();
        const QRectF r = tl->boundingRect().translated(tl->position());
        if (clip.isValid() && (r.bottom() < clip.y() || r.top() > clip.bottom())) continue;
        const QPen oldPen = painter->pen();
        painter->setPen(context.palette.color(QPalette::Text));
        // Selections stay inside the paragraph's box.
        tl->draw(painter, QPointF(), Selections(context, block.position(), block.length(), 0), clip.isValid() ? clip & r : r);
        if (context.cursorPosition >= block.position() && context.cursorPosition < block.position() + block.length())
            tl->drawCursor(painter, QPointF(), context.cursorPosition - block.position(), 1);
        painter->setPen(oldPen);
    }
}

int ListingLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const {
    // The toolkit takes the point in its own unit first.
    const qreal x = FromFixed(ToFixed(point.x())), y = FromFixed(ToFixed(point.y()));
    const QTextDocument* doc = document();
    const int lastPosition = doc->characterCount() - 1;
    enum Hit { Before, After, Inside, Exact };
    Hit hit = Before;
    int position = 0;
    bool found = false;
    for (QTextBlock block = doc->begin(); block.isValid() && !found; block = block.next()) {
        // The paragraph's extent, and the lines that are laid out for it.
        std::unique_ptr<QTextLayout> own;
        const QTextLayout* tl = block.layout();
        qreal top = 0, bottom = 0;
        int from = 0;
        if (m_onDemand) {
            top = m_margin;
            bottom = m_margin + lineCount() * m_lineHeight;
        } else {
            const QRectF r = tl->boundingRect().translated(tl->position());
            top = r.top();
            bottom = r.bottom();
        }
        if (y < top) {
            if (block.position() < position) position = block.position();
            continue;
        }
        if (y > bottom) {
            const int after = block.position() + block.length();
            if (after > position) {
                position = after;
                hit = After;
            }
            continue;
        }
        found = true;
        hit = Inside;
        if (m_onDemand) {
            const int i = static_cast<int>(std::floor((y - top) / m_lineHeight));
            if (i >= lineCount()) {
                position = block.position() + m_lineStarts.back();
                break;
            }
            own = layOutLines(i, i);
            tl = own.get();
            from = m_lineStarts[static_cast<std::size_t>(i)];
        }
        const QPointF p = QPointF(x, y) - tl->position();
        int off = 0;
        for (int i = 0; i < tl->lineCount(); ++i) {
            const QTextLine line = tl->lineAt(i);
            const QRectF lr = line.naturalTextRect();
            if (lr.top() > p.y()) {
                off = std::min(off, line.textStart());
            } else if (lr.bottom() <= p.y()) {
                off = std::max(off, line.textStart() + line.textLength());
            } else {
                if (lr.left() <= p.x() && lr.right() >= p.x()) hit = Exact;
                off = line.xToCursor(p.x(), accuracy == Qt::ExactHit ? QTextLine::CursorOnCharacter
                                                                     : QTextLine::CursorBetweenCharacters);
                break;
            }
        }
        position = block.position() + from + off;
    }
    if (accuracy == Qt::ExactHit && hit < Exact) return -1;
    return std::clamp(position, 0, lastPosition);
}

QRectF ListingLayout::frameBoundingRect(QTextFrame*) const { return QRectF(QPointF(), m_size); }

QRectF ListingLayout::blockBoundingRect(const QTextBlock& block) const {
    if (document()->pageSize().isNull() || !block.isValid()) return QRectF();
    if (m_onDemand) return QRectF(m_margin, m_margin, m_lineWidth, lineCount() * m_lineHeight);
    const QTextLayout* tl = block.layout();
    QRectF r = tl->boundingRect();
    r.moveTopLeft(tl->position());
    return r;
}

void SetPlainText(QTextEdit* edit, const QString& text) {
    QScrollBar* bar = edit->verticalScrollBar();
    const int oldValue = bar->value();
    QTextDocument* doc = edit->document();
    {
        // The edit replaces its text with a one-character stand-in, which
        // puts its cursor at the start with nothing selected; the text then
        // goes in after the stand-in, which leaves that cursor in place,
        // and the stand-in goes. One change for the layout, one for the
        // program.
        const QSignalBlocker quiet(edit);
        edit->setPlainText(QStringLiteral("0"));
        const bool undo = doc->isUndoRedoEnabled();
        doc->setUndoRedoEnabled(false);
        if (auto* layout = qobject_cast<ListingLayout*>(doc->documentLayout())) layout->m_coming = text;
        QTextCursor c(doc);
        c.beginEditBlock();
        c.setPosition(1);
        c.insertText(text);
        c.setPosition(0);
        c.setPosition(1, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        c.endEditBlock();
        doc->setUndoRedoEnabled(undo);
        doc->setModified(false);
    }
    emit edit->textChanged();
    // As the edit scrolls to show its cursor: up to the first line's top
    // when the view is below it.
    const int top = static_cast<int>(doc->documentLayout()->blockBoundingRect(doc->firstBlock()).top());
    const int kept = std::min(oldValue, bar->maximum());
    bar->setValue(kept > top ? top : kept);
}

}  // namespace korvel::window
