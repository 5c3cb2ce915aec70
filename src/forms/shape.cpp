#include "forms/shape.h"

#include "win32/unique_handle.h"

namespace forms {

Shape::Shape(Form& form, TwipsRect placement, OleColor fillColor, OleColor borderColor)
    : Control(form, placement, -1), fillColor_(fillColor), borderColor_(borderColor) {}

void Shape::Paint(HDC dc, HFONT /*font*/) const {
  const RECT rect = PixelRect();
  const ColorBrush brush(fillColor_);
  const win32::UniqueHPen pen(CreatePen(PS_SOLID, 1, ToColorRef(borderColor_)));
  const HGDIOBJ oldBrush = SelectObject(dc, brush.Get());
  const HGDIOBJ oldPen = SelectObject(dc, pen ? static_cast<HGDIOBJ>(pen.Get()) : GetStockObject(BLACK_PEN));
  Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

}  // namespace forms
