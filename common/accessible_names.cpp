#include "accessible_names.h"

#include <QLabel>
#include <QRegularExpression>
#include <QWidget>

namespace tarvo {

QString plainCaption(const QString& caption) {
    static const QRegularExpression markup(QStringLiteral("<[^>]*>"));
    return QString(caption).remove(markup).simplified();
}

void nameControl(QWidget* control, const QString& caption) {
    control->setAccessibleName(plainCaption(caption));
}

void nameAfterLabel(QWidget* control, QLabel* label) {
    nameControl(control, label->text());
    label->setBuddy(control);
}

} // namespace tarvo
