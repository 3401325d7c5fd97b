#pragma once

#include <QWidget>

class QPushButton;

namespace tarvo::xsview {

// The small window that leads to the compound or the mixture creator.
class NewDataChooser : public QWidget {
    Q_OBJECT
  public:
    explicit NewDataChooser(QWidget* parent = nullptr);

    // The three buttons.
    QPushButton& compoundButton() { return *m_compoundButton; }
    QPushButton& mixtureButton() { return *m_mixtureButton; }
    QPushButton& cancelButton() { return *m_cancelButton; }

  signals:
    // The window's close box was used; it means Cancel.
    void closeRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls();

    QPushButton* m_compoundButton = nullptr;
    QPushButton* m_mixtureButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace tarvo::xsview
