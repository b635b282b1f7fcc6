// Dialogs built from templates: modal (DoModal) and modeless (Create), with
// the control notifications routed to the program's command handlers and
// dialog data exchange between controls and members.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "standard_ids.h"
#include "wnd.h"

class CDataExchange;

// Modifiers of accelerator keys.
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;

// Converts dialog units to pixels with the dialog base units 6 x 13:
// x and width * 6 / 4, y and height * 13 / 8, each rounded to nearest with
// halves away from zero.
int DluToPixelsX(int dlu);
int DluToPixelsY(int dlu);

class CDialog : public CWnd {
public:
    explicit CDialog(int templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; returns the code passed to EndDialog.
    int DoModal();
    // Creates the dialog as a modeless window owned by `parent`.
    BOOL Create(int templateId, CWnd* parent = nullptr);
    void EndDialog(int result);
    // Destroys the window: the windows it owns, then OnDestroy, then the
    // widgets. Destroy a window before its object: the destructor lets a
    // window still up go without its handlers.
    BOOL DestroyWindow();

    // Moves data between controls and members; false when a field failed
    // its check (the standard message has been shown and focus is on it).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Called after every exchange, whether it completed or stopped at a field.
    virtual void OnDataExchanged() {}

    bool OnCommand(int id, UINT code) override;
    void OnClose() override;

    // Binds a control notification to a handler (the dialog's message table).
    void MapCommand(int id, UINT code, std::function<void()> handler);

    // A key that gives a command while the window is active (an accelerator):
    // `key` an upper-case letter, `modifiers` FCONTROL and FSHIFT; the
    // command comes like a click of a button with id `id`. For the window
    // that exists now.
    void AddAccelerator(BYTE modifiers, char key, int id);

private:
    friend class korvel::window::Toolkit;
    friend class CWnd;
    // A notification from control `id`, unless data are being exchanged.
    void NotifyFromControl(int id, UINT code);
    // The wrapper bound to control `id` (the program's, once it subclassed
    // the control, else the dialog's own), or nullptr.
    CWnd* ControlWrapper(int id) const;
    void SetControlWrapper(int id, CWnd* wrapper);
    QWidget* ControlWidget(int id) const;
    void CreateFromTemplate(CWnd* parent);
    // A wrapper of control `id` is going: the dialog's own wrapper takes the
    // control back.
    void ForgetWrapper(int id, CWnd* wrapper);
    void DestroyOwnedWindows();
    // The toolkit side of destroying the window, without handlers: forgets
    // the controls' widgets in every wrapper and deletes the widgets.
    void ReleaseWindow();

    int m_nTemplateId;
    bool m_bLockoutNotify = false;
    struct Command {
        int id;
        UINT code;
        std::function<void()> handler;
    };
    std::vector<Command> m_commands;
    std::map<int, QWidget*> m_controls;
    std::map<int, CWnd*> m_wrappers;
    std::vector<std::unique_ptr<CWnd>> m_defaultWrappers;
};
