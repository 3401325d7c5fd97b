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

// Marks a top-level window as a dialog for assistive technology (role dialog, not frame).
void markAsDialog(QWidget& window);

// Makes the suite's top-level windows reach assistive technology as frames or, where
// marked, dialogs, with their titles; and drop-down lists by the names given to them (the
// current entry is their value). Installed once, before any window is shown.
void installAccessibleRoles();

} // namespace tarvo
