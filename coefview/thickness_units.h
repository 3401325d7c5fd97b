#pragma once

#include "coefview/attenuation.h"

#include <QStringList>

class QComboBox;
class QCompleter;
class QWidget;

namespace tarvo::coefview {

// A list of the thickness units a layer is typed in: µm, mm, cm, g/cm²; `chosen` first shown.
QComboBox* makeThicknessUnitList(QWidget* parent, ThicknessUnit chosen);

// Shows a unit in a thickness unit list.
void chooseThicknessUnit(QComboBox& list, ThicknessUnit unit);

// Completes a material box from the names of the viewer's tables, any case, as typed.
QCompleter* materialCompleter(const QStringList& names, QWidget* parent);

// The unit a thickness unit list shows.
ThicknessUnit chosenThicknessUnit(const QComboBox& list);

} // namespace tarvo::coefview
