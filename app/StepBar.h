// A progress bar as the messages window drives it: a range, a position and
// a step size, moved by whole steps. The model holds the numbers; Show puts
// them on a Qt bar. A bar whose range is one value (a file of a single step)
// shows full.
#pragma once

class QProgressBar;

namespace app {

struct TStepBar {
    int Min = 0;
    int Max = 100;
    int Position = 0;
    int Step = 10;

    // Advances one step; past the maximum the bar starts over from the
    // minimum, as progress bars do.
    void StepIt();
    // Range 1 to 10, step 1, position 1: the file bar between files.
    void Reset();

    void Show(QProgressBar& bar) const;
};

}  // namespace app
