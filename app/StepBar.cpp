#include "app/StepBar.h"

#include <QProgressBar>

namespace app {

void TStepBar::StepIt()
{
    Position += Step;
    if (Position > Max)
        Position = Min;
}

void TStepBar::Reset()
{
    Min = 1;
    Max = 10;
    Step = 1;
    Position = Min;
}

void TStepBar::Show(QProgressBar& bar) const
{
    // Qt's bar runs an endless animation for an empty range, so the range
    // is moved to start at 0.
    const int maximum = Max > Min ? Max - Min : 1;
    const int value = Max > Min ? Position - Min : 1;
    if (bar.maximum() != maximum || bar.minimum() != 0)
        bar.setRange(0, maximum);
    if (bar.value() != value)
        bar.setValue(value);
}

}  // namespace app
