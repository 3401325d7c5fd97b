#pragma once

#include "common/table_reading.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;

namespace tarvo {

// Every energy at which a table's curve takes a typed value, under the values of an
// inverse reading; choosing one moves the read-out there. Hidden unless the value is met
// more than once.
class CrossingList : public QWidget {
    Q_OBJECT
  public:
    explicit CrossingList(QWidget* parent = nullptr);

    // Lists the crossings, each energy written by `energyText` (MeV), an edge marked; the one
    // nearest `shown` (MeV), which the reading shows, is the current entry.
    void showCrossings(const std::vector<Crossing>& crossings, double shown,
                       const std::function<QString(double)>& energyText);
    // Lists the crossings with none chosen, shown while there is one, for a reading that
    // found no single energy: the user picks one.
    void offerCrossings(const std::vector<Crossing>& crossings,
                        const std::function<QString(double)>& energyText);
    // Empties and hides the list.
    void clearEnergies();
    QListWidget& list() { return *m_list; }
    // The energy (MeV) of list entry `index`.
    double energyAt(int index) const { return m_energies.at(static_cast<size_t>(index)); }

  signals:
    // An energy of the list was chosen by mouse, keyboard or assistive technology (MeV).
    void energyChosen(double energy);

  private:
    void fill(const std::vector<Crossing>& crossings,
              const std::function<QString(double)>& energyText);

    QLabel* m_caption = nullptr;
    QListWidget* m_list = nullptr;
    std::vector<double> m_energies;
};

} // namespace tarvo
