// File-dialog filters written as "Description|*.a;*.b|Description|*.c"
// turned into the toolkit's form, with each pattern matching any letter
// case (*.zip finds a.zip, A.ZIP and a.Zip alike, as users of archives from
// other systems expect).
#pragma once

#include <QStringList>
#include <string>

namespace app {

// "*.zip" -> "*.[zZ][iI][pP]"; characters that are no letters stay as they are.
QString AnyCasePattern(const QString& pattern);

// One toolkit filter per description: the description as written, then the
// patterns in any case in brackets (hide the details when showing them).
QStringList ToolkitFilters(const std::string& filter);

}  // namespace app
