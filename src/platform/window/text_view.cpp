#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>

#include "widgets_qt.h"

namespace korvel::window {
namespace {

// Lines appended at a time from the event loop: some ten milliseconds'
// work, short enough not to hold up input and repaints.
constexpr qsizetype kLinesPerTurn = 5000;

// How long the lines still to come wait for the view to show those it has
// before they follow anyway (a view that is not painted: a window not on
// the screen).
constexpr int kWaitForPaintMs = 50;

// Where the line break ending `lines` lines after position `from` (the
// start of `text`, or a line break) stands, or the end of `text`.
qsizetype AfterLines(const QString& text, qsizetype from, qsizetype lines) {
    qsizetype at = from;
    for (; lines > 0; --lines)
        if ((at = text.indexOf(u'\n', at + 1)) < 0) return text.size();
    return at;
}

// Input that may select or copy: it finds the whole text.
bool IsInput(QEvent::Type t) {
    return t == QEvent::KeyPress || t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick;
}

}  // namespace

PlainTextView::PlainTextView(QWidget* parent) : QPlainTextEdit(parent), m_timer(new QTimer(this)) {
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_timer->setInterval(0);
        appendLines(kLinesPerTurn);
    });
}

void PlainTextView::setText(const QString& text) {
    m_timer->stop();
    m_coming = text;
    m_comingAt = AfterLines(m_coming, 0, 1);
    // The view's own replacement of the first line puts the cursor at the
    // start and the view at the top, and notifies one change. The lines
    // after it come behind the cursor, which stays: at once those the view
    // shows, the others once they are on the screen.
    setPlainText(m_coming.left(m_comingAt));
    appendLines(viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 2, true);
    if (m_comingAt < m_coming.size()) m_timer->start(kWaitForPaintMs);
}

QString PlainTextView::text() {
    complete();
    return toPlainText();
}

void PlainTextView::complete() {
    if (m_comingAt < m_coming.size()) appendLines(m_coming.size());
}

void PlainTextView::appendLines(qsizetype lines, bool shown) {
    if (m_comingAt < m_coming.size()) {
        const qsizetype end = AfterLines(m_coming, m_comingAt, lines);
        // The change of the whole text was notified already.
        const QSignalBlocker quiet(this);
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        cursor.movePosition(QTextCursor::End);
        QTextBlock block = cursor.block();
        cursor.insertText(m_coming.mid(m_comingAt, end - m_comingAt));
        // Lines about to be painted keep their shaped glyphs from laying out
        // to drawing (the view lays them out when the edit ends).
        for (; shown && block.isValid(); block = block.next()) block.layout()->setCacheEnabled(true);
        cursor.endEditBlock();
        m_comingAt = end;
    }
    if (m_comingAt == m_coming.size()) {
        m_timer->stop();
        m_coming.clear();
        m_comingAt = 0;
    }
}

bool PlainTextView::event(QEvent* e) {
    if (IsInput(e->type())) complete();
    return QPlainTextEdit::event(e);
}

void PlainTextView::paintEvent(QPaintEvent* e) {
    QPlainTextEdit::paintEvent(e);
    // What it shows is on the screen: the other lines may follow.
    if (m_timer->isActive() && m_timer->interval() != 0) m_timer->start(0);
}

bool PlainTextView::viewportEvent(QEvent* e) {
    if (IsInput(e->type())) complete();
    return QPlainTextEdit::viewportEvent(e);
}

QMimeData* PlainTextView::createMimeDataFromSelection() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

}  // namespace korvel::window
