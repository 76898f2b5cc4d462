#include "app/ElidedLabel.h"

#include <QFontMetrics>
#include <QLabel>

namespace app {

QString PlainHint(const QString& text)
{
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

bool ShowElided(QLabel& label, const QString& whole)
{
    const QFontMetrics metrics(label.font());
    const int room = label.contentsRect().width();
    const bool cut = metrics.horizontalAdvance(whole) > room;
    label.setText(cut ? metrics.elidedText(whole, Qt::ElideMiddle, room) : whole);
    label.setToolTip(cut ? PlainHint(whole) : QString());
    return cut;
}

}  // namespace app
