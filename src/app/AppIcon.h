#pragma once
// The program's icon, drawn rather than loaded so the build needs no image
// files or image-format plug-ins.

#include <QIcon>

namespace pelagor {

QIcon MakeAppIcon();

}  // namespace pelagor
