// How names and messages, kept as the bytes they were stored or typed as,
// become text on screen. Only drawing decodes: the bytes themselves travel
// unchanged (an archive member is named back to the library byte for byte).
//
// Promises: a text decodes by the one rule for stored names
// (zipformat/NameText.h: UTF-8 when told so by a member's UTF-8 flag or when
// its bytes are valid UTF-8, else code page 437, the MS-DOS set ZIP names
// default to); and every control or format character shows as the escape
// zipformat gives it everywhere (\x1b, \u200b, as in fernpack-cli), so no
// name can reorder, hide or break the text around it and pass itself off as
// another.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace app {

// The bytes decoded, with nothing replaced.
QString DecodeName(const std::string& bytes, bool utf8 = false);

// A name for display: decoded, every control and format character shown as
// its escape.
QString VisibleName(const std::string& bytes, bool utf8 = false);

// A message for display: like VisibleName, but line breaks (CR LF, LF, CR)
// stay line breaks.
QString VisibleMessage(const std::string& bytes);
// The same as UTF-8 bytes, for a log that keeps bytes and decodes only what
// it shows. A plain message (zipformat's IsPlainText with line feeds) is
// its own bytes.
std::string VisibleMessageUtf8(std::string_view bytes);

// Bytes of a path the toolkit handed over, and back, as the file system
// names it.
std::string PathBytes(const QString& path);
QString PathText(const std::string& bytes);

}  // namespace app
