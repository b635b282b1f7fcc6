#include <iterator>

#include "korvel_resources.h"
#include "resource_ids.h"
#include "standard_ids.h"
#include "version.h"

namespace res {
namespace {

using K = ControlKind;

// About box: the program's name, four credit lines, its icon and OK.
const ControlTemplate kAbout[] = {
    {IDR_MAINFRAME, K::Icon, "", 214, 8, 21, 20, 0, IDR_MAINFRAME},
    {IDC_STATIC, K::Static, "Демонстрация эффекта Корвеля", 8, 4, 190, 8, 0, 0},
    {IDC_STATIC, K::Static, "Версия " KORVEL_VERSION, 8, 14, 190, 8, 0, 0},
    {IDC_STATIC, K::Static, "Полёт мяча с учётом силы тяжести,", 8, 24, 190, 8, 0, 0},
    {IDC_STATIC, K::Static, "подъёмной силы вращения и сопротивления среды.", 8, 33, 190, 8, 0, 0},
    {IDC_STATIC, K::Static, "Учебная программа для уроков физики.", 8, 42, 190, 8, 0, 0},
    {IDOK, K::DefPushButton, "OK", 203, 34, 36, 14, kTabStop, 0},
};

// Main dialog: inputs on the right, the flight field painted on the left.
const ControlTemplate kFlight[] = {
    {IDOK, K::DefPushButton, "Пуск", 433, 263, 129, 22, kTabStop, 0},
    {IDC_DIAGRAMS, K::PushButton, "Диаграммы", 433, 287, 129, 22, kTabStop, 0},
    {IDC_STATIC, K::GroupBox, "Начальные данные", 433, 7, 129, 138, 0, 0},
    {IDC_STATIC, K::Static, "Масса (кг)", 440, 19, 90, 8, 0, 0},
    {IDC_MASS, K::Edit, "", 531, 16, 23, 14, kCenter | kTabStop, 0},
    {IDC_STATIC, K::Static, "Радиус (м)", 440, 37, 90, 8, 0, 0},
    {IDC_RADIUS, K::Edit, "", 531, 34, 23, 14, kCenter | kTabStop, 0},
    {IDC_STATIC, K::Static, "Начальная скорость (м/с)", 440, 55, 90, 8, 0, 0},
    {IDC_SPEED, K::Edit, "", 531, 52, 23, 14, kCenter | kTabStop, 0},
    {IDC_STATIC, K::Static, "Угол (градусы)", 440, 73, 90, 8, 0, 0},
    {IDC_ANGLE, K::Edit, "", 531, 70, 23, 14, kCenter | kTabStop, 0},
    {IDC_STATIC, K::Static, "Угловая скорость (рад/с)", 440, 91, 90, 8, 0, 0},
    {IDC_SPIN, K::Edit, "", 531, 88, 23, 14, kCenter | kTabStop, 0},
    {IDC_STATIC, K::Static, "Плотность среды (кг/м^3)", 440, 109, 90, 8, 0, 0},
    {IDC_DENSITY, K::Edit, "", 531, 106, 23, 14, kCenter | kTabStop, 0},
    {IDC_STATIC, K::Static, "Время замедления (мс)", 440, 128, 90, 8, 0, 0},
    {IDC_DELAY, K::Edit, "", 531, 125, 23, 14, kCenter | kTabStop, 0},
    {IDC_STATIC, K::Static, "Цвет траектории", 433, 148, 63, 8, 0, 0},
    {IDC_SWATCH, K::Area, "", 750, 239, 94, 18, kPixels | kClickable, 0},
    {IDC_SPIN_ON, K::AutoCheckBox, "Закрутить по часовой стрелке", 433, 161, 133, 11, kTabStop, 0},
    {IDC_DRAG_ON, K::AutoCheckBox, "Сопротивление среды", 433, 175, 95, 11, kTabStop, 0},
    {IDC_KEEP, K::AutoCheckBox, "Сохранять траектории", 433, 188, 93, 11, kLeftText | kTabStop, 0},
    {IDC_PAN_UP, K::OwnerDraw, "", 490, 209, 16, 16, kTabStop, 0},
    {IDC_PAN_LEFT, K::OwnerDraw, "", 475, 223, 16, 14, kTabStop, 0},
    {IDC_PAN_RIGHT, K::OwnerDraw, "", 505, 223, 16, 14, kTabStop, 0},
    {IDC_PAN_DOWN, K::OwnerDraw, "", 490, 237, 16, 16, kTabStop, 0},
    {IDC_STATIC, K::Area, "Поле полёта", 12, 12, 610, 490, kPixels, 0},
};

// Diagrams window: the chart painted on the left (610 x 490 pixels at
// client (12, 12)), the listing with its column headings and the controls on
// the right; the same size and margins as the main dialog.
const ControlTemplate kDiagram[] = {
    {IDC_CALCULATE, K::DefPushButton, "Расчёт", 436, 282, 109, 23, kTabStop, 0},
    {IDC_LISTING, K::Edit, "", 426, 13, 134, 201, kMultiline | kReadOnly | kAutoHScroll | kVScroll | kTabStop, 0,
     "Время, длина, высота, скорость"},
    {IDC_STATIC, K::Static, "Время", 426, 2, 23, 8, 0, 0},
    {IDC_STATIC, K::Static, " Длина", 455, 2, 27, 8, 0, 0},
    {IDC_STATIC, K::Static, "Высота", 485, 2, 26, 8, 0, 0},
    {IDC_STATIC, K::Static, "Скорость", 518, 2, 33, 8, 0, 0},
    {IDC_DIAG_KEEP, K::AutoCheckBox, "Сохранять пред. графики", 441, 265, 100, 10, kTabStop, 0},
    {IDC_SHIFT_UP, K::OwnerDraw, "", 488, 217, 16, 16, kTabStop, 0},
    {IDC_SHIFT_DOWN, K::OwnerDraw, "", 488, 246, 16, 16, kTabStop, 0},
    {IDC_SHIFT_RIGHT, K::OwnerDraw, "", 474, 232, 16, 14, kTabStop, 0},
    {IDC_SHIFT_LEFT, K::OwnerDraw, "", 504, 232, 16, 14, kTabStop, 0},
    {IDC_CHART, K::Area, "Графики V(t) и H(t)", 12, 12, 610, 490, kPixels, 0},
};

const DialogTemplate kDialogs[] = {
    {IDD_ABOUTBOX, "О программе...", 246, 55, false, kAbout, static_cast<int>(std::size(kAbout))},
    {IDD_KORVEL_DIALOG, "Эффект Корвеля", 570, 319, true, kFlight, static_cast<int>(std::size(kFlight))},
    {IDD_DIAGRAM, "Зависимость V(t) & Y(t)", 570, 319, false, kDiagram, static_cast<int>(std::size(kDiagram))},
};

}  // namespace
}  // namespace res

std::span<const res::DialogTemplate> KorvelDialogs() { return res::kDialogs; }
