#pragma once

#include <QWidget>

class QPushButton;

namespace tarvo {

class GraphSurface;

// The larger copy of the cross-section plot that collects the curves of several tables.
class EnlargedView : public QWidget {
    Q_OBJECT
  public:
    explicit EnlargedView(QWidget* parent = nullptr);

    GraphSurface& picture() { return *m_picture; }
    QPushButton& saveButton() { return *m_saveButton; }
    QPushButton& closeButton() { return *m_closeButton; }

  signals:
    // The window's own close control was used; the viewer treats it like "Close".
    void closeRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls();

    GraphSurface* m_picture = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace tarvo
