#pragma once

#include <QColor>

class QPushButton;
class QWidget;

namespace app {

//! The window's fixed colour theme, applied once at start-up.
namespace theme {

inline const QColor kBodyColor{255, 192, 192};
inline const QColor kSecondBodyColor{255, 128, 128};
inline const QColor kBorderColor{192, 64, 0};
inline const QColor kTextColor{128, 64, 0};
//! The sliders' filled part at their minimum.
inline const QColor kSliderFillColor{255, 128, 255};

} // namespace theme

//! Colours every control of `window`, in the window's control order, by its
//! kind: panels (except "MyFrame1"), buttons, text boxes, the file grid,
//! drop-down lists (except the language box), sliders, labels and lines.
//! Option buttons, check boxes, pictures and the language box keep their
//! look.
void ApplyTheme(QWidget* window);

//! Paints `button` from its colour properties (BackColor, BackColorDisabled,
//! BackColorFocus, BorderColor, ToolTipBackColor).
void applyButtonColors(QPushButton* button);

} // namespace app
