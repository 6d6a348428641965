#pragma once
#include <QPixmap>

// Tool bar bitmaps, 16x16 per button.
namespace resources {

QPixmap ToolBarBitmap();       // bitmap 128: cut .. refresh, toggle
QPixmap ToggleToolBarBitmap(); // bitmap 130: toggle

} // namespace resources
