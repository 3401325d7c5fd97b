#pragma once

#include <QWidget>

namespace tarvo {

// The window a viewer shows instead of its main window when it was not started by the
// launcher; its "OK" ends the program.
class StartNotice : public QWidget {
    Q_OBJECT
  public:
    explicit StartNotice(QWidget* parent = nullptr);
};

} // namespace tarvo
