#pragma once

#include <functional>

class QListWidget;
class QObject;

namespace tarvo {

// Calls `chosen` with the row (from 0) whenever one entry becomes the list's selection,
// however it was selected: mouse, keyboard, assistive technology or the program.
void whenRowChosen(QListWidget& list, QObject* context, std::function<void(int row)> chosen);

} // namespace tarvo
