#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace tarvo {

// The caption a screen reader speaks: the text without rich-text markup, blanks trimmed.
QString plainCaption(const QString& caption);

// Gives a control the name a screen reader speaks for it.
void nameControl(QWidget* control, const QString& caption);

// Names a control after the label that stands before it; the label becomes its buddy.
void nameAfterLabel(QWidget* control, QLabel* label);

} // namespace tarvo
