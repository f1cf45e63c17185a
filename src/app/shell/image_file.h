#pragma once
// The resource of one of the program's pictures. They are drawn as vectors
// where Qt's SVG module is at hand, and were rasterised at build time (at
// their own size and at twice it, "@2x") where it is not.
#include <QString>

inline QString ImageFile(const QString& name) {
#ifdef LV_RASTER_IMAGES
    return QStringLiteral(":/%1.png").arg(name);
#else
    return QStringLiteral(":/%1.svg").arg(name);
#endif
}
