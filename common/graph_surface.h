#pragma once

#include "common/plot_geometry.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPainter;
class QPen;

namespace tarvo {

// A colour of the classic 16-colour palette by its number (0 black, 1 navy, ... 15 white).
QColor paletteColor(int number);

// Writes an image as a Windows bitmap through the atomic-write helper.
bool writeBitmap(const QImage& image, const std::string& path, std::string& error);

class GraphSurface;

// Writes a surface's picture in the format its path ends with: ".bmp" or ".png" (the
// pixels of the screen) or ".svg" (vector, from the same drawing); atomically.
bool writePicture(GraphSurface& surface, const std::string& path, std::string& error);

// The grid colour of the plots.
inline const QColor kGridColor{100, 100, 100};

// A drawing area with a user coordinate system (Y grows upwards), background and
// foreground colours, a current point, a font size and a pen width. Drawing goes into a
// persistent image of the nominal size, which the widget shows and a bitmap export saves;
// overlay lines (crosshairs, cursors) are painted above the image and are not part of it.
class GraphSurface : public QWidget {
    Q_OBJECT
  public:
    // `fontPoints` is the surface's own font size in points ("Times New Roman").
    GraphSurface(const UserFrame& frame, double fontPoints, QWidget* parent = nullptr);
    ~GraphSurface() override;

    const UserFrame& frame() const { return m_frame; }
    // The colours clearing and drawing use.
    void setBackground(const QColor& colour) { m_background = colour; }
    void setForeground(const QColor& colour) { m_foreground = colour; }
    QColor foreground() const { return m_foreground; }

    // Fills the image with the background colour; the current point goes to (0, 0).
    void clear();
    // Line width in pixels for lines and box borders.
    void setPenWidth(int width) { m_penWidth = width; }
    // Whether box borders are drawn inside their outline (else centred on it).
    void setInsideBorders(bool inside) { m_insideBorders = inside; }

    void line(double x1, double y1, double x2, double y2, const QColor& colour);
    // A line from the current point to (x, y), which becomes the current point.
    void lineTo(double x, double y, const QColor& colour);
    void box(double x1, double y1, double x2, double y2, const QColor& colour);
    void filledBox(double x1, double y1, double x2, double y2, const QColor& colour);
    // A single point in the foreground colour; it becomes the current point.
    void point(double x, double y);
    // A circle of `radius` user X units around (x, y).
    void circle(double x, double y, double radius, const QColor& colour);

    // Keeps all drawing inside a rectangle of user units until `unclip`.
    void clipTo(double x1, double y1, double x2, double y2);
    void unclip();

    void setCurrentPoint(double x, double y);
    // The current point (user units) and the text size (points).
    double currentX() const { return m_currentX; }
    double currentY() const { return m_currentY; }
    void setFontSize(double points) { m_fontPoints = points; }
    double fontSize() const { return m_fontPoints; }
    // Prints text in the foreground colour with its top-left corner at the current
    // point; the current point moves to the end of the text, or to the start of the
    // next line when `newLine` is set.
    void print(const QString& text, bool newLine = false);
    // Prints "10" in the current size and the exponent in `exponentPoints` (8 unless
    // stated), top-aligned, on one line; the current size is kept.
    void printPowerOfTen(const QString& exponent, double exponentPoints = 8.0);
    // The width of a text in the current size, in user X units.
    double textWidth(const QString& text) const;

    // The persistent image (at the screen's pixel ratio).
    const QImage& image();
    // The same picture as an SVG document: every drawing since the last `clear` replayed on
    // a vector device, titled `title`.
    QByteArray svg(const QString& title) const;

    // Overlay lines above the image, in user units; hidden until shown.
    int addOverlayLine(const QColor& colour);
    void moveOverlayLine(int id, double x1, double y1, double x2, double y2);
    void showOverlayLine(int id, bool visible);
    bool overlayLineVisible(int id) const;
    double overlayLineX(int id) const;
    double overlayLineY(int id) const;

    // Shows the cross-shaped pointer over the surface, or the default one.
    void setCrossPointer(bool cross);

  signals:
    // The pointer moved over the surface, in user units.
    void mouseMoved(double x, double y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Keeps the surface's accessible name equal to its window's title.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct OverlayLine {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        QColor colour;
        bool visible = false;
    };

    using DrawingStep = std::function<void(QPainter&)>;

    QPainter& painter();
    // Draws a step on the image and keeps it for the vector picture.
    void draw(DrawingStep step);
    // The same where the vector picture needs its own form of the step.
    void draw(const DrawingStep& onImage, DrawingStep asVector);
    void finishDrawing();
    DrawingStep clippedLines(const QPen& pen, const std::vector<QPointF>& points) const;
    QPointF pixel(double x, double y) const;
    QFont fontOfSize(double points) const;
    QRectF pixelRect(double x1, double y1, double x2, double y2) const;
    void nameAfterWindow();

    UserFrame m_frame;
    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    QColor m_background{Qt::black};
    QColor m_foreground{Qt::white};
    double m_currentX = 0.0;
    double m_currentY = 0.0;
    double m_fontPoints;
    int m_penWidth = 1;
    bool m_insideBorders = false;
    std::vector<OverlayLine> m_overlays;
    std::optional<QRectF> m_clip;
    QColor m_filledWith;              // the colour of the last clear
    std::vector<DrawingStep> m_steps; // since the last clear
};

} // namespace tarvo
