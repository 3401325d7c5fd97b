#pragma once

#include "common/user_prompts.h"

#include <QStringList>

#include <deque>

namespace tarvo::testing {

// Records every message and prompt, and answers from scripted queues.
class FakePrompts : public UserPrompts {
  public:
    struct Shown {
        QString text;
        MessageIcon icon;
        QString title;
    };

    void showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                     const QString& title = {}) override;
    bool askOkCancel(QWidget* parent, const QString& text) override;
    QString askText(QWidget* parent, const QString& prompt, const QString& defaultText) override;

    std::vector<Shown> messages;
    QStringList questions;
    std::deque<bool> okAnswers;      // an empty queue answers Cancel
    std::deque<QString> textAnswers; // an empty queue answers Cancel (empty text)
};

} // namespace tarvo::testing
