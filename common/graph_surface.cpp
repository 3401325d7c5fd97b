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
#include <cmath>
#include <numbers>

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

// The parts of a pixel polyline inside the clip, as a vector step with the given pen: a
// vector device may not clip, so the vector picture holds the clipped segments themselves.
GraphSurface::DrawingStep GraphSurface::clippedLines(const QPen& pen,
                                                     const std::vector<QPointF>& points) const {
    std::vector<QLineF> inside;
    for (size_t k = 1; k < points.size(); ++k) {
        const PixelSegment segment{{points[k - 1].x(), points[k - 1].y()},
                                   {points[k].x(), points[k].y()}};
        const auto part = m_clip ? clipSegment(segment, m_clip->left(), m_clip->top(),
                                               m_clip->right(), m_clip->bottom())
                                 : std::make_optional(segment);
        if (part) {
            inside.emplace_back(part->from.x, part->from.y, part->to.x, part->to.y);
        }
    }
    return [pen, inside](QPainter& p) {
        p.setPen(pen);
        for (const QLineF& line : inside) {
            p.drawLine(line);
        }
    };
}

void GraphSurface::line(double x1, double y1, double x2, double y2, const QColor& colour) {
    const QPen pen(colour, m_penWidth, Qt::SolidLine, Qt::RoundCap);
    const QPointF from = pixel(x1, y1);
    const QPointF to = pixel(x2, y2);
    const DrawingStep onImage = [pen, from, to](QPainter& p) {
        p.setPen(pen);
        p.drawLine(from, to);
    };
    draw(onImage, m_clip ? clippedLines(pen, {from, to}) : onImage);
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
    const QPen pen(colour, m_penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    const DrawingStep onImage = [pen, rect](QPainter& p) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect);
    };
    const bool whole = !m_clip || m_clip->contains(rect);
    draw(onImage, whole ? onImage
                        : clippedLines(pen, {rect.topLeft(), rect.topRight(), rect.bottomRight(),
                                             rect.bottomLeft(), rect.topLeft()}));
    m_currentX = x2;
    m_currentY = y2;
}

void GraphSurface::filledBox(double x1, double y1, double x2, double y2, const QColor& colour) {
    const QRectF rect = pixelRect(x1, y1, x2, y2);
    const QRectF shown = m_clip ? rect.intersected(*m_clip) : rect;
    draw([rect, colour](QPainter& p) { p.fillRect(rect, colour); },
         [shown, colour](QPainter& p) {
             if (!shown.isEmpty()) {
                 p.fillRect(shown, colour);
             }
         });
    m_currentX = x2;
    m_currentY = y2;
}

void GraphSurface::point(double x, double y) {
    const QPointF at = pixel(x, y);
    const DrawingStep onImage = [colour = m_foreground, at](QPainter& p) {
        p.setPen(QPen(colour, 1));
        p.drawPoint(at);
    };
    const bool shown = !m_clip || m_clip->contains(at);
    draw(onImage, shown ? onImage : DrawingStep([](QPainter&) {}));
    m_currentX = x;
    m_currentY = y;
}

void GraphSurface::circle(double x, double y, double radius, const QColor& colour) {
    const double pixels = radius * pixelsPerUnitX(m_frame);
    const QPen pen(colour, m_penWidth);
    const QPointF centre = pixel(x, y);
    const DrawingStep onImage = [pen, centre, pixels](QPainter& p) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, pixels, pixels);
    };
    const QRectF bounds(centre - QPointF(pixels, pixels), QSizeF(2 * pixels, 2 * pixels));
    if (!m_clip || m_clip->contains(bounds)) {
        draw(onImage);
    } else {
        // Cut by the clip, the circle is drawn as the visible parts of a fine polygon.
        constexpr int kSides = 48;
        std::vector<QPointF> outline;
        for (int k = 0; k <= kSides; ++k) {
            const double angle = 2 * std::numbers::pi * k / kSides;
            outline.emplace_back(centre.x() + pixels * std::cos(angle),
                                 centre.y() + pixels * std::sin(angle));
        }
        draw(onImage, clippedLines(pen, outline));
    }
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
    const QRectF rect(topLeft, QSizeF(metrics.horizontalAdvance(text) + 2, metrics.height()));
    const DrawingStep onImage = [font, colour = m_foreground, rect, text](QPainter& p) {
        p.setFont(font);
        p.setPen(colour);
        p.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    };
    const bool shown = !m_clip || m_clip->intersects(rect);
    draw(onImage, shown ? onImage : DrawingStep([](QPainter&) {}));
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
    QPainter painter(&generator);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(0, 0, m_frame.pixelWidth, m_frame.pixelHeight), m_filledWith);
    for (const DrawingStep& step : m_steps) {
        step(painter);
    }
    painter.end();
    // The generator writes its title unescaped: the title element is written here, escaped.
    const qsizetype svgStart = bytes.indexOf("<svg");
    const qsizetype tagEnd = svgStart < 0 ? -1 : bytes.indexOf('>', svgStart);
    if (tagEnd >= 0) {
        bytes.insert(tagEnd + 1, "\n<title>" + title.toHtmlEscaped().toUtf8() + "</title>");
    }
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
