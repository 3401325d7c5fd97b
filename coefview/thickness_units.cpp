#include "thickness_units.h"

#include <QComboBox>
#include <QCompleter>

#include <array>

namespace tarvo::coefview {
namespace {

// In list order.
constexpr std::array<ThicknessUnit, 4> kListedUnits = {
    ThicknessUnit::micrometre, ThicknessUnit::millimetre, ThicknessUnit::centimetre,
    ThicknessUnit::gramsPerSquareCentimetre};

} // namespace

QComboBox* makeThicknessUnitList(QWidget* parent, ThicknessUnit chosen) {
    auto* list = new QComboBox(parent);
    list->addItems({QStringLiteral("µm"), QStringLiteral("mm"), QStringLiteral("cm"),
                    QStringLiteral("g/cm²")});
    chooseThicknessUnit(*list, chosen);
    return list;
}

void chooseThicknessUnit(QComboBox& list, ThicknessUnit unit) {
    for (std::size_t k = 0; k < kListedUnits.size(); ++k) {
        if (kListedUnits[k] == unit) {
            list.setCurrentIndex(static_cast<int>(k));
        }
    }
}

QCompleter* materialCompleter(const QStringList& names, QWidget* parent) {
    auto* completer = new QCompleter(names, parent);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchStartsWith);
    return completer;
}

ThicknessUnit chosenThicknessUnit(const QComboBox& list) {
    return kListedUnits[static_cast<std::size_t>(qBound(0, list.currentIndex(), 3))];
}

} // namespace tarvo::coefview
