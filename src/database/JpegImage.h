#pragma once
// Decodes JPEG data with libjpeg, so the logo does not depend on Qt's image plugins.
#include <QImage>

#include <span>

namespace database {

// The decoded picture, or a null image when the data is not a JPEG libjpeg can read.
QImage decodeJpeg(std::span<const unsigned char> data);

} // namespace database
