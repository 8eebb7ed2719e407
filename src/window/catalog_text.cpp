#include "window/catalog_text.h"

#include "base/utf8_text.h"

namespace norvane {

QString CatalogText(std::string_view bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    return IsValidUtf8(bytes) ? QString::fromUtf8(bytes.data(), size)
                              : QString::fromLatin1(bytes.data(), size);
}

}  // namespace norvane
