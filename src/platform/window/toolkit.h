// Starting and ending the toolkit by hand, for the program's tests and
// tools: they create the toolkit's application object themselves, drive the
// windows through their widgets (CWnd::GetWidget) and include the toolkit's
// headers for that. The program itself starts through AfxWinMain.
#pragma once

// Prepares the toolkit side of the platform: the bundled fonts, the default
// look and the toolkit's own Russian texts. Call once after the toolkit's
// application object exists.
void AfxInitToolkit();

// Ends the platform's part before the toolkit's application object goes:
// the windows already destroyed (whose widgets wait for deferred deletion)
// go for good, so no window object that outlives the toolkit holds
// anything of it.
void AfxTermToolkit();
