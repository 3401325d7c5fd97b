#include "crossing_list.h"

#include "common/accessible_names.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace tarvo {

CrossingList::CrossingList(QWidget* parent) : QWidget(parent) {
    m_caption = new QLabel(QStringLiteral("Every energy of this value:"), this);
    m_list = new QListWidget(this);
    m_list->setMaximumHeight(90);
    nameAfterLabel(m_list, m_caption);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_caption);
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        const int row = m_list->currentRow();
        if (row >= 0 && m_list->item(row)->isSelected()) {
            emit energyChosen(energyAt(row));
        }
    });
    hide();
}

void CrossingList::showCrossings(const std::vector<Crossing>& crossings, double shown,
                                 const std::function<QString(double)>& energyText) {
    const QSignalBlocker quiet(m_list);
    fill(crossings, energyText);
    size_t nearest = 0;
    for (size_t k = 0; k < crossings.size(); ++k) {
        if (std::fabs(crossings[k].energy - shown) < std::fabs(crossings[nearest].energy - shown)) {
            nearest = k;
        }
    }
    m_list->setCurrentRow(static_cast<int>(nearest));
    setVisible(m_energies.size() > 1);
}

void CrossingList::offerCrossings(const std::vector<Crossing>& crossings,
                                  const std::function<QString(double)>& energyText) {
    const QSignalBlocker quiet(m_list);
    fill(crossings, energyText);
    setVisible(!m_energies.empty());
}

void CrossingList::fill(const std::vector<Crossing>& crossings,
                        const std::function<QString(double)>& energyText) {
    m_list->clear();
    m_energies.clear();
    for (const Crossing& crossing : crossings) {
        m_energies.push_back(crossing.energy);
        m_list->addItem(energyText(crossing.energy) + QStringLiteral(" MeV") +
                        (crossing.kind == CrossingKind::atEdge
                             ? QStringLiteral(", at an edge: the curve jumps across the value")
                             : QString()));
    }
}

void CrossingList::clearEnergies() {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    m_energies.clear();
    hide();
}

} // namespace tarvo
