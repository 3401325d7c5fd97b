#include "list_choice.h"

#include <QListWidget>

namespace tarvo {

void whenRowChosen(QListWidget& list, QObject* context, std::function<void(int row)> chosen) {
    QObject::connect(&list, &QListWidget::itemSelectionChanged, context,
                     [&list, chosen = std::move(chosen)] {
                         const QList<QListWidgetItem*> selected = list.selectedItems();
                         if (selected.size() == 1) {
                             chosen(list.row(selected.front()));
                         }
                     });
}

} // namespace tarvo
