#pragma once

#include <QString>

class QWidget;

namespace tarvo {

enum class MessageIcon { None, Exclamation };

// Message and prompt boxes, behind one small interface so that tests can read the texts
// and script the answers.
class UserPrompts {
  public:
    virtual ~UserPrompts() = default;
    // A modal message with an OK button; an empty title shows the program's name.
    virtual void showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                             const QString& title = {}) = 0;
    // A modal question with OK and Cancel; true for OK.
    virtual bool askOkCancel(QWidget* parent, const QString& text) = 0;
    // A prompt box with one line of text; the entered text, or empty on Cancel.
    virtual QString askText(QWidget* parent, const QString& prompt, const QString& defaultText) = 0;
};

// The real message and prompt boxes of the window system.
class WidgetPrompts : public UserPrompts {
  public:
    void showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                     const QString& title = {}) override;
    bool askOkCancel(QWidget* parent, const QString& text) override;
    QString askText(QWidget* parent, const QString& prompt, const QString& defaultText) override;
};

} // namespace tarvo
