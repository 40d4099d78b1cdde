// The keyboard and the screen size of every form, in one place: the Tab path follows the
// screen (top to bottom, left to right, the button bar last), grids and lists let Tab out and
// take Enter as their own key, fields are as wide as what they hold, grid headers readable and
// every tab of a tab bar reachable.
#pragma once

#include <QList>

class QWidget;

namespace belmora {

// The widgets that Tab stops at inside `raiz`, in the order of the screen: the widgets that
// take the focus by Tab, visible and enabled, one stop per radio group (its checked button),
// none inside a compound field (a spin box's or a list's own edit, a grid's cell editor).
// The children of a widget are read top to bottom and left to right, each with the stops
// inside it before the next child: a group box is one block, and the button bar below the
// scrolled part of a form comes after all of it, wherever it is scrolled to.
QList<QWidget*> CaminhoTab(QWidget* raiz);

// Moves the focus to the next (or previous) stop of `caminho` after the widget with the focus,
// round from the last to the first; the stop is scrolled into view. False with no stop.
bool MoveFoco(const QList<QWidget*>& caminho, bool adiante);

// Prepares the grids, lists, fields and tab bars under `raiz` once it is laid out:
// - a grid or list lets Tab out (the arrows move inside it), its current row is selected,
//   Enter edits an editable cell and otherwise acts as a double click on the current row;
//   Enter never goes on to a dialog's default button (a grid with the property
//   "teclaEnterPropria" keeps its own Enter);
// - a line edit with a length limit is as wide as that many characters;
// - every column header shows its whole title;
// - a tab bar scrolls to the tabs it cannot show.
// Widgets already prepared are left as they are, so it may run again after a form grows.
void PreparaTeclado(QWidget* raiz);

}  // namespace belmora
