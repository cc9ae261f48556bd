// The editor's one way of telling the user something in a modal box: a message with an "OK"
// button, titled with the application title. Tests install a hook so that no box ever blocks.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace rigtune {

void showMessage(QWidget* parent, const QString& text);

// While a hook is set, showMessage hands the text to it instead of showing a box.
using MessageHook = std::function<void(const QString& text)>;
void setMessageHook(MessageHook hook);

} // namespace rigtune
