#pragma once

namespace orvelan {

class TForm1;

// Creates the twelve windows once each, in order, the main window first; each opens its
// tables and runs its queries as it is created. An error propagates with nothing shown.
TForm1 *createProgramWindows();

}  // namespace orvelan
