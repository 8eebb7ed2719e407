// Texts from the catalog (names, enumeration items) on screen. The catalog keeps them as the
// bytes of its file, in whatever encoding it was written; every lookup compares those bytes,
// and only what is shown is decoded.
#pragma once

#include <QString>
#include <string_view>

namespace norvane {

// UTF-8 when the bytes are valid UTF-8, otherwise Latin-1 (every byte one character), so that
// a catalog from an older editor shows "Müller" rather than replacement marks.
QString CatalogText(std::string_view bytes);

}  // namespace norvane
