#include "start_notice.h"

#include "common/accessible_names.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

StartNotice::StartNotice(QWidget* parent) : QWidget(parent) {
    // The notice has no title: a screen reader speaks its text as its name.
    markAsDialog(*this);
    nameControl(this, QStringLiteral("Please start from \"Tarvo_V7S.exe\""));
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Raised);
    frame->setLineWidth(2);
    auto* text = new QLabel(QStringLiteral("Please start from \"Tarvo_V7S.exe\""), frame);
    text->setObjectName(QStringLiteral("noticeText"));
    text->setAlignment(Qt::AlignCenter);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(24, 18, 24, 18);
    frameLayout->addWidget(text);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    connect(ok, &QPushButton::clicked, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

} // namespace tarvo
