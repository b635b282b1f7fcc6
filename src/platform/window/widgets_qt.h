// The toolkit side of the platform windows: the widgets behind them and
// what the platform keeps while the toolkit runs. Private to the platform
// layer: only its own sources include this (and the toolkit's headers).
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRect>

#include <map>
#include <memory>
#include <vector>

#include "controls.h"
#include "dialog.h"
#include "gdi.h"
#include "region.h"
#include "wintypes.h"
#include "wnd.h"

// A loaded icon resource.
struct IconData {
    QIcon icon;
    QImage image;
};

class QMenu;
class QMimeData;
class QTimer;

namespace korvel::window {

class Bridge;
class TipWindow;

// The widgets' way into the window objects: the calls of CWnd, CDialog and
// CToolTipCtrl that only the toolkit side makes, kept out of the program's
// reach (private, with this class their friend).
class Toolkit {
public:
    static CWnd* FromWidget(const QWidget* widget) { return CWnd::FromWidget(widget); }
    static void AttachWidget(CWnd& wnd, QWidget* widget, CWnd* parent, int id) {
        wnd.AttachWidget(widget, parent, id);
    }
    static void DetachWidget(CWnd& wnd) { wnd.DetachWidget(); }
    static void DispatchPaint(CWnd& wnd, QWidget* widget, const CRect& updateRect) {
        wnd.DispatchPaint(widget, updateRect);
    }
    static void ShowSystemMenu(CWnd& wnd, int screenX, int screenY) { wnd.ShowSystemMenu(screenX, screenY); }
    static void DeliverPosted(CWnd& wnd) { wnd.DeliverPosted(); }
    static void BridgeGone(CWnd& wnd, const Bridge* bridge) { wnd.ForgetBridge(bridge); }

    static void NotifyFromControl(CDialog& dlg, int id, UINT code) { dlg.NotifyFromControl(id, code); }
    static CWnd* ControlWrapper(const CDialog& dlg, int id) { return dlg.ControlWrapper(id); }
    static void SetControlWrapper(CDialog& dlg, int id, CWnd* wrapper) { dlg.SetControlWrapper(id, wrapper); }
    static QWidget* ControlWidget(const CDialog& dlg, int id) { return dlg.ControlWidget(id); }

    // The window of `tip` is going.
    static void TipWindowGone(CToolTipCtrl& tip, const TipWindow* window) {
        if (tip.m_wnd == window) tip.m_wnd = nullptr;
    }
};

// Receives the delivery of what was posted to a window (PostInvalidateRect,
// PostMessage), queued by name to the widget's thread, so a worker never
// touches a widget itself. A child of the widget; the wrapper it names is
// the one attached to that widget (CWnd::FromWidget).
class Bridge : public QObject {
    Q_OBJECT
public:
    Bridge(CWnd* wnd, QObject* parent) : QObject(parent), m_wnd(wnd) {}
    ~Bridge() override {
        if (m_wnd) Toolkit::BridgeGone(*m_wnd, this);
    }
    Q_INVOKABLE void deliverPosted();
    // The window object let go of the widget: a delivery still queued for it
    // is dropped.
    void detach() { m_wnd = nullptr; }
    CWnd* wnd() const { return m_wnd; }

private:
    CWnd* m_wnd;
};

// The widget of a dialog: forwards painting, mouse clicks on the background,
// the background's context menu (the system menu), closing and the escape key
// to the dialog object.
class DialogWidget : public QDialog {
    Q_OBJECT
public:
    DialogWidget(CDialog* dlg, QWidget* parent);
    void detach() { m_dlg = nullptr; }
    CDialog* dialog() const { return m_dlg; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    void accept() override;

private:
    CDialog* m_dlg;
};

// An owner-drawn push button: the standard press, capture and click logic of
// a button, with its face drawn by the wrapper's DrawItem.
//
// Mouse input, focus loss and background erasing go to the wrapper's
// handlers first, as messages (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE,
// WM_LBUTTONDBLCLK, WM_KILLFOCUS, WM_ERASEBKGND); the wrapper's default
// processing comes back here (defaultMouse, defaultKillFocus). Mouse messages
// reach the wrapper the way they reach a window: only inside the widget's
// shape (its rectangle and mask), unless it holds the capture. Qt delivers
// the second press of a double click as a press followed by a double click;
// they become WM_LBUTTONDOWN and WM_LBUTTONDBLCLK.
//
// The face is drawn into pixels kept from one paint to the next, so a
// wrapper that does not erase its background draws over what it drew before,
// as over the screen.
class OwnerDrawWidget : public QAbstractButton {
    Q_OBJECT
public:
    OwnerDrawWidget(CDialog* dlg, int id, QWidget* parent);
    ~OwnerDrawWidget() override;
    void detach() { m_dlg = nullptr; }
    CButton* wrapper() const;

    // Default processing of a mouse message: the toolkit button's own press,
    // release and move logic. A press that pushes the button takes the
    // capture; a release frees it first, then clicks when the button is
    // pushed and the point is over it. A double click acts as a press.
    void defaultMouse(UINT msg, UINT flags, QPoint pos);
    // Default processing of focus loss: ends a press (frees the capture
    // without a click) and redraws.
    void defaultKillFocus();
    // Ends a press without a click: the capture was taken away.
    void cancelPress();

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    // Whether a mouse event at `pos` is this window's message.
    bool receivesMouseAt(const QPoint& pos) const;
    void sendMouse(UINT msg, QMouseEvent* e);

    CDialog* m_dlg;
    int m_id;
    std::unique_ptr<Surface> m_surface;
    Qt::FocusReason m_focusOutReason = Qt::OtherFocusReason;
};

// A part of a dialog's client area that the dialog paints itself (the
// flight field, the chart, the colour swatch): it draws nothing and takes no
// input, the dialog's own painting and clicks go through it. It is there so
// that screen readers find the part: a named graphic, or, when the dialog
// takes clicks there, a button whose press is such a click. Its window text
// is its value (the swatch's colour).
class AreaWidget : public QWidget {
    Q_OBJECT
public:
    AreaWidget(CDialog* dlg, bool clickable, QWidget* parent);
    void detach() { m_dlg = nullptr; }
    bool clickable() const { return m_clickable; }
    // A left click in the middle of the area, as the dialog takes it.
    void press();

private:
    CDialog* m_dlg;
    bool m_clickable;
};

// Names a control for screen readers, as a desktop screen reader would:
// `name` without its mnemonic marker ("&").
void SetAccessibleName(QWidget* w, const char* name);

// Shows the context menu of `wnd` at screen point `global`: `standard` (the
// toolkit's own commands of the control, or nullptr) followed by the
// commands the program added; a chosen command of the program goes to the
// dialog `wnd` belongs to. Takes `standard`.
void ShowContextMenu(CWnd* wnd, QMenu* standard, const QPoint& global);

// The view of a multi-line edit: the toolkit's plain-text view, a line of
// the text a block, laid out only where it is seen. A long text shows at
// once: the lines the view shows go in at once, the others once they are
// painted, some thousands at a time from the event loop; reading the text,
// or a key or a click in the view, completes it first. A copy holds the
// plain text only.
class PlainTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PlainTextView(QWidget* parent);
    // Replaces the text: the cursor at the start, the view at the top, one
    // change notified.
    void setText(const QString& text);
    QString text();
    // Appends at once what is still to come.
    void complete();

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    // Appends the next lines still to come; `shown`: lines the view shows.
    void appendLines(qsizetype lines, bool shown = false);

    QString m_coming;  // the text, of which m_comingAt characters are in
    qsizetype m_comingAt = 0;
    QTimer* m_timer;
};

// Runs `dlg` until it is done, modal to its owner window only: the owner
// (the window of its parent widget) takes no input meanwhile, every other
// window does; a dialog without an owner blocks nothing. Returns
// its result, or QDialog::Rejected when it was deleted with its owner;
// `dlg` may be gone on return, so callers hold it in a QPointer.
int ExecModal(QDialog* dlg);

// What the platform keeps while the toolkit runs: the mouse capture, the
// screen position of the latest mouse event and the loaded icons. A child of
// the toolkit's application object, created on first use: it ends with the
// toolkit, and nothing of it outlives the toolkit or waits for statics to
// be destroyed in some order. User-interface thread only.
class PlatformState : public QObject {
    Q_OBJECT
public:
    // nullptr while there is no toolkit.
    static PlatformState* get();
    ~PlatformState() override;

    // Mouse capture as the platform layer keeps it (see GetCapture).
    QPointer<QWidget> capture;
    // The screen position of the latest mouse event of the application, so
    // GetCursorPos answers the same way on every platform plugin (the
    // offscreen one moves no cursor).
    bool lastCursor(QPoint* global) const;
    std::map<UINT, std::unique_ptr<IconData>> icons;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    explicit PlatformState(QObject* app);
    QPoint m_cursor;
    bool m_cursorSeen = false;
};

// Mouse capture as the platform layer keeps it (see GetCapture).
void SetCaptureWidget(QWidget* w);
QWidget* CaptureWidget();

// The leave request of one widget (TrackMouseEvent): a child of the widget
// watching its leave events.
class HoverTracker : public QObject {
    Q_OBJECT
public:
    explicit HoverTracker(QWidget* watched);
    bool armed = false;
    // Disarms and tells the widget's wrapper that the mouse left.
    void notifyLeave();
    void postLeave();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QWidget* m_watched;
};

// The region a window was given (SetWindowRgn); a child of the widget, so
// the region goes with the window.
class RegionHolder : public QObject {
    Q_OBJECT
public:
    RegionHolder(QWidget* parent, HRGN rgn) : QObject(parent), region(rgn) {}
    ~RegionHolder() override { DeleteObject(region); }
    HRGN region;
};

// The window of a tooltip control: a child of the control it was created
// for, holding the tools and showing their texts on the toolkit's tooltip
// requests (QEvent::ToolTip) for the tools' widgets.
class TipWindow : public QObject {
    Q_OBJECT
public:
    struct Tool {
        QPointer<QWidget> widget;
        UINT id;
        QString text;
        QRect rect;  // empty: the whole widget
    };
    TipWindow(CToolTipCtrl* owner, QWidget* parent) : QObject(parent), control(owner) {}
    ~TipWindow() override {
        if (control) Toolkit::TipWindowGone(*control, this);
    }
    // The control this window belongs to; nullptr once it let go.
    CToolTipCtrl* control;
    std::vector<Tool> tools;
    bool active = false;
    // The tool whose text is showing, or -1.
    int shownTool = -1;
    QPoint shownAt;
    void show(int tool, const QPoint& global);
    void hide();
    bool showing() const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};

}  // namespace korvel::window
