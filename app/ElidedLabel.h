// A long name in a label of fixed width: shortened in the middle (its start
// and its end stay, an ellipsis between), with the whole name as the hint.
// Hints take markup, so the name goes in escaped and shows as typed, every
// blank kept.
#pragma once

#include <QString>

class QLabel;

namespace app {

// Shows `whole` in `label`, shortened to the label's width when it is wider;
// true when it was shortened (and the hint is on).
bool ShowElided(QLabel& label, const QString& whole);

// `text` as a hint that shows it as typed.
QString PlainHint(const QString& text);

}  // namespace app
