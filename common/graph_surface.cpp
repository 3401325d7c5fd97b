#include "graph_surface.h"

#include "common/text_file.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgGenerator>

#include <array>

namespace tarvo {

QColor paletteColor(int number) {
    static const std::array<QColor, 16> palette{
        QColor(0, 0, 0),       QColor(0, 0, 128),   QColor(0, 128, 0),   QColor(0, 128, 128),
        QColor(128, 0, 0),     QColor(128, 0, 128), QColor(128, 128, 0), QColor(192, 192, 192),
        QColor(128, 128, 128), QColor(0, 0, 255),   QColor(0, 255, 0),   QColor(0, 255, 255),
        QColor(255, 0, 0),     QColor(255, 0, 255), QColor(255, 255, 0), QColor(255, 255, 255)};
    return palette[static_cast<size_t>(number & 15)];
}

bool writeBitmap(const QImage& image, const std::string& path, std::string& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) {
        error = "the image cannot be encoded";
        return false;
    }
    return atomicWriteFile(
        path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}

bool writePicture(GraphSurface& surface, const std::string& path, std::string& error) {
    const QString suffix = QString::fromLocal8Bit(path.c_str()).right(4).toLower();
    if (suffix == QStringLiteral(".svg")) {
        const QByteArray svg = surface.svg(surface.window()->windowTitle().trimmed());
        return atomicWriteFile(path, std::string_view(svg.constData(), size_t(svg.size())), error);
    }
    if (suffix != QStringLiteral(".png")) {
        return writeBitmap(surface.image(), path, error);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!surface.image().save(&buffer, "PNG")) {
        error = "the image cannot be encoded";
        return false;
    }
    return atomicWriteFile(path, std::string_view(bytes.constData(), size_t(bytes.size())), error);
}

GraphSurface::GraphSurface(const UserFrame& frame, double fontPoints, QWidget* parent)
    : QWidget(parent), m_frame(frame), m_fontPoints(fontPoints) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    m_image = QImage(QSize(frame.pixelWidth, frame.pixelHeight) * ratio, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(m_background);
    m_filledWith = m_background;
    setFixedSize(frame.pixelWidth, frame.pixelHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (parent != nullptr) {
        parent->window()->installEventFilter(this);
    }
    nameAfterWindow();
}

// A screen reader names a plot by its window's title, which says what is plotted.
void GraphSurface::nameAfterWindow() {
    const QString title = window()->windowTitle();
    setAccessibleName(title.trimmed().isEmpty() ? QStringLiteral("Graph") : title);
}

bool GraphSurface::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange && watched == window()) {
        nameAfterWindow();
    }
    return false;
}

GraphSurface::~GraphSurface() {
    finishDrawing();
}

QPainter& GraphSurface::painter() {
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        if (m_clip) {
            m_painter->setClipRect(*m_clip);
        }
    }
    return *m_painter;
}

void GraphSurface::draw(DrawingStep step) {
    step(painter());
    m_steps.push_back(std::move(step));
    update();
}

void GraphSurface::draw(const DrawingStep& onImage, DrawingStep asVector) {
    onImage(painter());
    m_steps.push_back(std::move(asVector));
    update();
}

void GraphSurface::clipTo(double x1, double y1, double x2, double y2) {
    const QRectF clip = pixelRect(x1, y1, x2, y2);
    m_clip = clip;
    draw([clip](QPainter& p) { p.setClipRect(clip); });
}

void GraphSurface::unclip() {
    m_clip.reset();
    draw([](QPainter& p) { p.setClipping(false); });
}

// Drawing is batched on one painter; it ends before the image is shown or handed out.
void GraphSurface::finishDrawing() {
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

QPointF GraphSurface::pixel(double x, double y) const {
    const PixelPoint p = toPixel(m_frame, x, y);
    return {p.x, p.y};
}

QRectF GraphSurface::pixelRect(double x1, double y1, double x2, double y2) const {
    return QRectF(pixel(x1, y1), pixel(x2, y2)).normalized();
}

QFont GraphSurface::fontOfSize(double points) const {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(qMax(1, qRound(points * 96.0 / 72.0)));
    return font;
}

void GraphSurface::clear() {
    finishDrawing();
    m_image.fill(m_background);
    m_filledWith = m_background;
    m_steps.clear();
    if (m_clip) {
        m_steps.push_back([clip = *m_clip](QPainter& p) { p.setClipRect(clip); });
    }
    m_currentX = 0.0;
    m_currentY = 0.0;
    update();
}

void GraphSurface::line(double x1, double y1, double x2, double y2, const QColor& colour) {
    const QPen pen(colour, m_penWidth, Qt::SolidLine, Qt::RoundCap);
    const QPointF from = pixel(x1, y1);
    const QPointF to = pixel(x2, y2);
    const auto drawLine = [pen](QPointF a, QPointF b) {
        return [pen, a, b](QPainter& p) {
            p.setPen(pen);
            p.drawLine(a, b);
        };
    };
    if (!m_clip) {
        draw(drawLine(from, to));
    } else {
        // A vector device may not clip: the vector picture holds the clipped segment itself.
        const auto inside = clipSegment({{from.x(), from.y()}, {to.x(), to.y()}}, m_clip->left(),
                                        m_clip->top(), m_clip->right(), m_clip->bottom());
        draw(drawLine(from, to),
             inside ? drawLine({inside->from.x, inside->from.y}, {inside->to.x, inside->to.y})
                    : DrawingStep([](QPainter&) {}));
    }
    m_currentX = x2;
    m_currentY = y2;
}

void GraphSurface::lineTo(double x, double y, const QColor& colour) {
    line(m_currentX, m_currentY, x, y, colour);
}

void GraphSurface::box(double x1, double y1, double x2, double y2, const QColor& colour) {
    QRectF rect = pixelRect(x1, y1, x2, y2);
    if (m_insideBorders) {
        const double half = m_penWidth / 2.0;
        rect.adjust(half, half, -half, -half);
    }
    draw([pen = QPen(colour, m_penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin),
          rect](QPainter& p) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect);
    });
    m_currentX = x2;
    m_currentY = y2;
}

void GraphSurface::filledBox(double x1, double y1, double x2, double y2, const QColor& colour) {
    draw([rect = pixelRect(x1, y1, x2, y2), colour](QPainter& p) { p.fillRect(rect, colour); });
    m_currentX = x2;
    m_currentY = y2;
}

void GraphSurface::point(double x, double y) {
    draw([colour = m_foreground, at = pixel(x, y)](QPainter& p) {
        p.setPen(QPen(colour, 1));
        p.drawPoint(at);
    });
    m_currentX = x;
    m_currentY = y;
}

void GraphSurface::circle(double x, double y, double radius, const QColor& colour) {
    const double pixels = radius * pixelsPerUnitX(m_frame);
    draw([pen = QPen(colour, m_penWidth), centre = pixel(x, y), pixels](QPainter& p) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, pixels, pixels);
    });
    m_currentX = x;
    m_currentY = y;
}

void GraphSurface::setCurrentPoint(double x, double y) {
    m_currentX = x;
    m_currentY = y;
}

void GraphSurface::print(const QString& text, bool newLine) {
    const QFont font = fontOfSize(m_fontPoints);
    const QFontMetricsF metrics(font);
    const QPointF topLeft = pixel(m_currentX, m_currentY);
    draw([font, colour = m_foreground,
          rect = QRectF(topLeft, QSizeF(metrics.horizontalAdvance(text) + 2, metrics.height())),
          text](QPainter& p) {
        p.setFont(font);
        p.setPen(colour);
        p.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    });
    const PixelPoint end =
        newLine ? toUser(m_frame, 0.0, topLeft.y() + metrics.height())
                : toUser(m_frame, topLeft.x() + metrics.horizontalAdvance(text), topLeft.y());
    m_currentX = newLine ? m_frame.left : end.x;
    m_currentY = end.y;
}

double GraphSurface::textWidth(const QString& text) const {
    return QFontMetricsF(fontOfSize(m_fontPoints)).horizontalAdvance(text) /
           pixelsPerUnitX(m_frame);
}

void GraphSurface::printPowerOfTen(const QString& exponent, double exponentPoints) {
    const double large = m_fontPoints;
    const double y = m_currentY;
    print(QStringLiteral("10"));
    m_fontPoints = exponentPoints;
    m_currentY = y;
    print(exponent);
    m_fontPoints = large;
}

const QImage& GraphSurface::image() {
    finishDrawing();
    return m_image;
}

QByteArray GraphSurface::svg(const QString& title) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(m_frame.pixelWidth, m_frame.pixelHeight));
    generator.setViewBox(QRect(0, 0, m_frame.pixelWidth, m_frame.pixelHeight));
    generator.setTitle(title);
    QPainter painter(&generator);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(0, 0, m_frame.pixelWidth, m_frame.pixelHeight), m_filledWith);
    for (const DrawingStep& step : m_steps) {
        step(painter);
    }
    painter.end();
    return bytes;
}

int GraphSurface::addOverlayLine(const QColor& colour) {
    m_overlays.push_back({0, 0, 0, 0, colour, false});
    return static_cast<int>(m_overlays.size()) - 1;
}

void GraphSurface::moveOverlayLine(int id, double x1, double y1, double x2, double y2) {
    OverlayLine& line = m_overlays.at(static_cast<size_t>(id));
    line.x1 = x1;
    line.y1 = y1;
    line.x2 = x2;
    line.y2 = y2;
    update();
}

void GraphSurface::showOverlayLine(int id, bool visible) {
    m_overlays.at(static_cast<size_t>(id)).visible = visible;
    update();
}

bool GraphSurface::overlayLineVisible(int id) const {
    return m_overlays.at(static_cast<size_t>(id)).visible;
}

double GraphSurface::overlayLineX(int id) const {
    return m_overlays.at(static_cast<size_t>(id)).x1;
}

double GraphSurface::overlayLineY(int id) const {
    return m_overlays.at(static_cast<size_t>(id)).y1;
}

void GraphSurface::setCrossPointer(bool cross) {
    setCursor(cross ? Qt::CrossCursor : Qt::ArrowCursor);
}

void GraphSurface::paintEvent(QPaintEvent*) {
    finishDrawing();
    QPainter widgetPainter(this);
    widgetPainter.drawImage(QPointF(0, 0), m_image);
    for (const OverlayLine& line : m_overlays) {
        if (line.visible) {
            widgetPainter.setPen(QPen(line.colour, 1));
            widgetPainter.drawLine(pixel(line.x1, line.y1), pixel(line.x2, line.y2));
        }
    }
}

void GraphSurface::mouseMoveEvent(QMouseEvent* event) {
    const PixelPoint user = toUser(m_frame, event->position().x(), event->position().y());
    emit mouseMoved(user.x, user.y);
}

} // namespace tarvo
