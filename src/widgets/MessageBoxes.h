#pragma once

#include <QString>

class QWidget;

namespace velmora::widgets {

// A notice with the program's name as caption and one OK button.
void showMessage(QWidget* parent, const QString& text);
// Which button of a question Enter presses.
enum class Default { Yes, No };

// A Yes/No question with a question-mark icon; true for Yes. Closing the box answers No.
bool askQuestion(QWidget* parent, const QString& text, Default preferred = Default::Yes);

} // namespace velmora::widgets
