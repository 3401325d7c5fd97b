#include "enlarged_view.h"

#include "common/graph_surface.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

EnlargedView::EnlargedView(const UserFrame& frame, QWidget* parent) : QWidget(parent) {
    createControls(frame);
}

void EnlargedView::createControls(const UserFrame& frame) {
    m_picture = new GraphSurface(frame, 15.75, this);
    m_picture->setAccessibleDescription(QStringLiteral(
        "The curves of the tables named in the title; their values are listed in their values "
        "windows"));
    m_picture->setBackground(paletteColor(1));
    m_picture->setForeground(paletteColor(15));
    m_saveButton = new QPushButton(QStringLiteral("Save as a BMP image"), this);
    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_picture);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void EnlargedView::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit closeRequested();
}

} // namespace tarvo
