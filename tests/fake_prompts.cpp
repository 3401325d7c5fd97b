#include "fake_prompts.h"

namespace tarvo::testing {

void FakePrompts::showMessage(QWidget*, const QString& text, MessageIcon icon,
                              const QString& title) {
    messages.push_back({text, icon, title});
}

bool FakePrompts::askOkCancel(QWidget*, const QString& text) {
    questions.append(text);
    if (okAnswers.empty()) {
        return false;
    }
    const bool answer = okAnswers.front();
    okAnswers.pop_front();
    return answer;
}

QString FakePrompts::askText(QWidget*, const QString& prompt, const QString&) {
    questions.append(prompt);
    if (textAnswers.empty()) {
        return {};
    }
    QString answer = textAnswers.front();
    textAnswers.pop_front();
    return answer;
}

} // namespace tarvo::testing
