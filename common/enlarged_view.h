#pragma once

#include "common/plot_geometry.h"

#include <QWidget>

class QPushButton;

namespace tarvo {

class GraphSurface;

// The enlarged view of a viewer: a larger plot that collects the curves of several tables,
// with "Save as a BMP image" and "Close".
class EnlargedView : public QWidget {
    Q_OBJECT
  public:
    // `frame` is the picture's user frame; its font is 15.75 points.
    explicit EnlargedView(const UserFrame& frame, QWidget* parent = nullptr);

    // The picture and the two buttons.
    GraphSurface& picture() { return *m_picture; }
    QPushButton& saveButton() { return *m_saveButton; }
    QPushButton& closeButton() { return *m_closeButton; }

  signals:
    // The window's own close control was used; the viewer treats it like "Close".
    void closeRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls(const UserFrame& frame);

    GraphSurface* m_picture = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace tarvo
