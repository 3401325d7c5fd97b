#include "new_data_chooser.h"

#include "common/accessible_names.h"
#include "common/button_keys.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo::xsview {

NewDataChooser::NewDataChooser(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("New Data"));
    markAsDialog(*this);
    createControls();
}

void NewDataChooser::createControls() {
    auto* heading = new QLabel(QStringLiteral("Create new data"), this);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(13);
    heading->setFont(font);
    m_compoundButton = new QPushButton(QStringLiteral("Chemical compound"), this);
    m_mixtureButton = new QPushButton(QStringLiteral("Mixture"), this);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(new QLabel(QStringLiteral("Calculate according to the Bragg's"), this));
    layout->addWidget(new QLabel(QStringLiteral("addition law (ICRU 37)"), this));
    layout->addWidget(m_compoundButton);
    layout->addWidget(m_mixtureButton);
    layout->addWidget(m_cancelButton);
    closeOnEscape(*this);
}

void NewDataChooser::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit closeRequested();
}

} // namespace tarvo::xsview
