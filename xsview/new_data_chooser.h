#pragma once

#include <QWidget>

class QPushButton;

namespace tarvo {

// The small window that leads to the compound or the mixture creator.
class NewDataChooser : public QWidget {
    Q_OBJECT
  public:
    explicit NewDataChooser(QWidget* parent = nullptr);

    QPushButton& compoundButton() { return *m_compoundButton; }
    QPushButton& mixtureButton() { return *m_mixtureButton; }
    QPushButton& cancelButton() { return *m_cancelButton; }

  private:
    void createControls();

    QPushButton* m_compoundButton = nullptr;
    QPushButton* m_mixtureButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace tarvo
